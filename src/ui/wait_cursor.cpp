#include "ui/wait_cursor.h"

#include <QApplication>
#include <QCursor>

namespace lomi::ui {

WaitCursor::WaitCursor() { QApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }

WaitCursor::~WaitCursor() { QApplication::restoreOverrideCursor(); }

}  // namespace lomi::ui
