#pragma once

#include <cstdint>
#include <vector>

#include <QComboBox>
#include <QString>

#include "ui/item_list_model.h"

namespace lomi::ui {

// A drop-down list with an editable text field, unsorted, whose list index
// means "the item the user picked": it becomes -1 as soon as the user types
// into the text field, even though QComboBox keeps its current index then.
// Every item carries a 32-bit item data, 0 until it is set.
class ComboBox : public QComboBox {
    Q_OBJECT

public:
    explicit ComboBox(QWidget* parent = nullptr);

    // Empties the list and the text field.
    void Clear();
    // Appends an item; the list index and the text field stay as they were.
    void AddItem(const QString& text);
    // Clear, then the items with their item data appended in one step: a
    // list of tens of thousands of dates fills at once.
    using Item = ItemListModel::Row;
    void SetItems(std::vector<Item> items);
    // Index of the item appended last, -1 before any.
    int NewIndex() const { return newIndex_; }

    int ListCount() const { return count(); }
    QString List(int index) const;

    std::int32_t ItemData(int index) const;
    void SetItemData(int index, std::int32_t data);

    // -1 when no item is chosen.
    int ListIndex() const { return listIndex_; }
    // Shows that item's text (or an empty field for -1) without running any
    // handler.
    void SetListIndex(int index);

    QString Text() const { return currentText(); }

protected:
    // Home and End choose the first and the last item, as the arrow keys
    // choose the next one; in text being typed they move the cursor.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void OnActivated(int index);

    ItemListModel* items_ = nullptr;
    int listIndex_ = -1;
    int newIndex_ = -1;
};

}  // namespace lomi::ui
