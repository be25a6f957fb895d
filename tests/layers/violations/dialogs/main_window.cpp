#include "app/fm98list.h"
#include "ui/text.h"
