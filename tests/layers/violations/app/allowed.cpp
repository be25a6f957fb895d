#include "dialogs/fm98con.h"
#include <QWidget>
