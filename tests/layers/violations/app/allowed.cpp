#include "dialogs/pattern_dialog.h"
#include <QWidget>
