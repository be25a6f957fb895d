#pragma once

#include <QDialog>

#include "data/program_state.h"

class QGroupBox;
class QPushButton;

namespace lomi {

class Fm98List;

namespace ui {
class ComboBox;
}

// The pattern dialog: four selectors (axis index, axis rank, partner index,
// bet style). OK stores the choice, loads the pattern's ticket files, refills
// the main window and tallies; ｷｬﾝｾﾙ, Esc and the close box change nothing.
class Fm98Con : public QDialog {
    Q_OBJECT

public:
    Fm98Con(ProgramState& state, Fm98List& mainWindow);

    // Combo1 … Combo4 by their number.
    ui::ComboBox* Combo(int number) const;

    void Command1_Click();  // OK
    void Command2_Click();  // ｷｬﾝｾﾙ

    // Esc and the close box press ｷｬﾝｾﾙ.
    void reject() override;

private:
    void CreateControls();
    void Form_Load();

    ProgramState& state_;
    Fm98List& mainWindow_;
    QGroupBox* frame1_ = nullptr;
    QGroupBox* frame2_ = nullptr;
    ui::ComboBox* combos_[4] = {};
    QPushButton* command1_ = nullptr;
    QPushButton* command2_ = nullptr;
};

}  // namespace lomi
