#include "ui/window_role.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QWidget>

namespace lomi::ui {
namespace {

constexpr const char* kWindowRole = "lomiAccessibleWindow";

QAccessibleInterface* WindowFactory(const QString&, QObject* object) {
    if (object == nullptr || !object->isWidgetType() || !object->property(kWindowRole).toBool())
        return nullptr;
    return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
}

}  // namespace

void ExposeAsWindow(QWidget* window) {
    static const bool installed = [] {
        QAccessible::installFactory(WindowFactory);
        return true;
    }();
    (void)installed;
    window->setProperty(kWindowRole, true);
}

}  // namespace lomi::ui
