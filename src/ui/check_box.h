#pragma once

#include <QCheckBox>

namespace lomi::ui {

// A check box whose value is 0 (unticked) or 1 (ticked); unticked at start.
class CheckBox : public QCheckBox {
    Q_OBJECT

public:
    using QCheckBox::QCheckBox;

    int Value() const { return isChecked() ? 1 : 0; }
    void SetValue(int value) { setChecked(value != 0); }
};

}  // namespace lomi::ui
