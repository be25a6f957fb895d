#include "dialogs/save_results.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "analysis/breakdown.h"
#include "analysis/pattern_analysis.h"
#include "analysis/result_files.h"
#include "dialogs/suggested_names.h"
#include "ui/message_box.h"
#include "ui/save_file.h"

namespace lomi {

SaveResults::SaveResults(const ProgramState& state, QWidget* parent, AnalysisChoices* choices)
    : QDialog(parent), state_(state), choices_(choices) {
    setObjectName("SaveResults");
    setWindowTitle(QString::fromUtf8("結果を保存"));

    reportChoice_ = new QRadioButton(QString::fromUtf8("集計結果 (テキスト)"), this);
    reportChoice_->setObjectName("ReportChoice");
    reportChoice_->setChecked(true);
    encodingCombo_ = new QComboBox(this);
    encodingCombo_->setObjectName("EncodingCombo");
    encodingCombo_->addItem(QStringLiteral("UTF-8"), static_cast<int>(TextEncoding::Utf8));
    encodingCombo_->addItem(QString::fromUtf8("シフトJIS (CP932)"),
                            static_cast<int>(TextEncoding::Cp932));
    if (choices_ != nullptr) {
        encodingCombo_->setCurrentIndex(choices_->encodingIndex);
        connect(encodingCombo_, &QComboBox::currentIndexChanged, this,
                [this](int index) { choices_->encodingIndex = index; });
    }
    breakdownChoice_ = new QRadioButton(QString::fromUtf8("内訳 (CSV)"), this);
    breakdownChoice_->setObjectName("BreakdownChoice");
    axisCombo_ = new QComboBox(this);
    axisCombo_->setObjectName("AxisCombo");
    for (const BreakdownAxis axis : kBreakdownAxes) {
        axisCombo_->addItem(QString::fromUtf8(AxisName(axis)), static_cast<int>(axis));
    }

    auto* form = new QFormLayout;
    form->addRow(reportChoice_);
    form->addRow(QString::fromUtf8("    文字コード"), encodingCombo_);
    form->addRow(breakdownChoice_);
    form->addRow(QString::fromUtf8("    分類"), axisCombo_);

    auto* buttons = new QDialogButtonBox(this);
    saveButton_ = buttons->addButton(QString::fromUtf8("保存..."), QDialogButtonBox::AcceptRole);
    saveButton_->setObjectName("SaveButton");
    QPushButton* close =
        buttons->addButton(QString::fromUtf8("閉じる"), QDialogButtonBox::RejectRole);
    close->setObjectName("CloseButton");
    connect(saveButton_, &QPushButton::clicked, this, &SaveResults::AskAndSave);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(reportChoice_, &QRadioButton::toggled, this, &SaveResults::UpdateChoices);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    UpdateChoices();
}

void SaveResults::SetResults(const std::string& report, const RaceConditions& conditions) {
    report_ = report;
    conditions_ = conditions;
    saveButton_->setEnabled(!state_.Loaded.Records.Empty());
}

void SaveResults::UpdateChoices() {
    encodingCombo_->setEnabled(reportChoice_->isChecked());
    axisCombo_->setEnabled(!reportChoice_->isChecked());
}

bool SaveResults::SaveTo(const QString& path) {
    if (reportChoice_->isChecked()) {
        const auto encoding = static_cast<TextEncoding>(encodingCombo_->currentData().toInt());
        const ReportFile file = ReportFileBytes(
            ReportWithContext(DescribeCurrentPattern(state_), conditions_, report_), encoding);
        if (!ui::SaveWholeFile(this, path, file.bytes)) return false;
        if (!file.representable) {
            ui::ShowMessage(this,
                            QString::fromUtf8("シフトJISで表せない文字は「?」で保存しました。"));
        }
        return true;
    }
    const auto axis = static_cast<BreakdownAxis>(axisCombo_->currentData().toInt());
    return ui::SaveWholeFile(
        this, path, BreakdownCsvFile(BuildBreakdown(state_.Loaded.Records, conditions_, axis)));
}

void SaveResults::AskAndSave() {
    const bool text = reportChoice_->isChecked();
    const auto axis = static_cast<BreakdownAxis>(axisCombo_->currentData().toInt());
    const QString what = text ? QString::fromUtf8("集計結果")
                              : QString::fromUtf8("内訳_") + QString::fromUtf8(AxisName(axis));
    const QString path = ui::AskSavePath(
        this, windowTitle(),
        SuggestedFileName(what, state_, conditions_, QString::fromUtf8(text ? "txt" : "csv")),
        QString::fromUtf8(text ? "テキスト (*.txt)" : "CSV (*.csv)"),
        choices_ != nullptr ? &choices_->saveFolder : nullptr, state_.DataFolder);
    if (!path.isEmpty()) SaveTo(path);
}

}  // namespace lomi
