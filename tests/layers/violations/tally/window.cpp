#include "ui/combo_box.h"
// #include "app/main_window.h" in a comment is no include
