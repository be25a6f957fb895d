#include "dialogs/prepare_main_window.h"

#include <vector>

#include <QLabel>

#include "app/fm98list.h"
#include "tally/pattern_names.h"
#include "tally/selector_items.h"
#include "ui/combo_box.h"
#include "ui/text.h"
#include "ui/text_box.h"

namespace lomi {

void PrepareMainWindowAfterLoad(Fm98List& window, const LoadedData& data,
                                const std::string& axisIndex, const std::string& axisRank,
                                const std::string& partnerIndex, const std::string& betStyle,
                                std::int16_t con4) {
    window.Text1()->SetText(QString());
    window.Label2()->setText(
        ui::FromUtf8(DescribePattern(axisIndex, axisRank, partnerIndex, betStyle, con4)));

    const std::vector<std::vector<SelectorItem>> selectors = BuildSelectorItems(data);
    for (int number = 1; number <= 8; ++number) {
        ui::ComboBox* combo = window.Combo(number);
        combo->Clear();
        for (const SelectorItem& item : selectors.at(static_cast<std::size_t>(number - 1))) {
            combo->AddItem(ui::FromUtf8(item.text));
            combo->SetItemData(combo->NewIndex(), item.data);
        }
        combo->SetListIndex(0);
    }
}

}  // namespace lomi
