#include "ui/combo_box.h"
// #include "app/fm98list.h" in a comment is no include
