#include "app/main_window.h"
#include "ui/text.h"
