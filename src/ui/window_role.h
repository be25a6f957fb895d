#pragma once

class QWidget;

namespace lomi::ui {

// A plain QWidget shown as a window of its own is exposed to assistive
// technology as a filler pane; this makes window announce itself as the
// window it is, named by its title.
void ExposeAsWindow(QWidget* window);

}  // namespace lomi::ui
