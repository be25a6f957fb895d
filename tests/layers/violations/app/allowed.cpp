#include <QWidget>
#include "dialogs/pattern_dialog.h"
