#pragma once

#include <string>

#include <QDialog>

#include "data/program_state.h"
#include "dialogs/analysis_choices.h"
#include "tally/race_conditions.h"

class QComboBox;
class QPushButton;
class QRadioButton;

namespace lomi {

// 結果を保存: the report as the main window shows it, after the pattern and
// the conditions, as text with CR LF in
// UTF-8 or code page 932, or the breakdown by a chosen axis as CSV (UTF-8
// with a byte order mark). Whole files only: a failed save leaves none.
class SaveResults : public QDialog {
    Q_OBJECT

public:
    // choices: the encoding and the folder kept from the last save.
    explicit SaveResults(const ProgramState& state, QWidget* parent = nullptr,
                         AnalysisChoices* choices = nullptr);

    // The report text shown and the conditions it was tallied under.
    void SetResults(const std::string& report, const RaceConditions& conditions);

    QRadioButton* ReportChoice() const { return reportChoice_; }
    QRadioButton* BreakdownChoice() const { return breakdownChoice_; }
    QComboBox* EncodingCombo() const { return encodingCombo_; }
    QComboBox* AxisCombo() const { return axisCombo_; }
    QPushButton* SaveButton() const { return saveButton_; }

    // Saves the chosen result at path; a failure is told in a message box.
    bool SaveTo(const QString& path);

private:
    void AskAndSave();
    void UpdateChoices();

    const ProgramState& state_;
    std::string report_;
    RaceConditions conditions_;
    AnalysisChoices* choices_ = nullptr;

    QRadioButton* reportChoice_ = nullptr;
    QRadioButton* breakdownChoice_ = nullptr;
    QComboBox* encodingCombo_ = nullptr;
    QComboBox* axisCombo_ = nullptr;
    QPushButton* saveButton_ = nullptr;
};

}  // namespace lomi
