#include "ui/combo_box.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QVariant>

namespace lomi::ui {

namespace {
constexpr int kItemDataRole = ItemListModel::kDataRole;
}

ComboBox::ComboBox(QWidget* parent) : QComboBox(parent), items_(new ItemListModel(this)) {
    setModel(items_);
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    // Completion would turn typed text into a chosen item; typing never
    // picks one here.
    setCompleter(nullptr);
    setMaxVisibleItems(8);
    connect(lineEdit(), &QLineEdit::textEdited, this, [this] { listIndex_ = -1; });
    connect(this, &QComboBox::activated, this, &ComboBox::OnActivated);
}

void ComboBox::OnActivated(int index) {
    // When the field loses the focus, QComboBox selects an item whose text
    // equals the typed text without touching the field, so the text stays
    // marked as typed. A pick from the list or with the arrow keys rewrites
    // the field and clears that mark.
    if (lineEdit()->isModified()) {
        listIndex_ = -1;
        return;
    }
    listIndex_ = index;
}

void ComboBox::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if ((key == Qt::Key_Home || key == Qt::Key_End) && event->modifiers() == Qt::NoModifier &&
        !lineEdit()->isModified() && count() > 0) {
        const int index = key == Qt::Key_Home ? 0 : count() - 1;
        setCurrentIndex(index);
        emit activated(index);
        event->accept();
        return;
    }
    QComboBox::keyPressEvent(event);
}

void ComboBox::Clear() {
    const QSignalBlocker blocker(this);
    clear();
    clearEditText();
    listIndex_ = -1;
    newIndex_ = -1;
}

void ComboBox::AddItem(const QString& text) {
    const QSignalBlocker blocker(this);
    const QString shown = currentText();
    const bool modified = lineEdit()->isModified();
    addItem(text);
    newIndex_ = count() - 1;
    // QComboBox chooses the first item appended to an empty list by itself.
    if (listIndex_ == -1 && currentIndex() != -1) {
        setCurrentIndex(-1);
        setEditText(shown);
        lineEdit()->setModified(modified);
    }
}

void ComboBox::SetItems(std::vector<Item> items) {
    const QSignalBlocker blocker(this);
    items_->Replace(std::move(items));
    setCurrentIndex(-1);
    clearEditText();
    lineEdit()->setModified(false);
    listIndex_ = -1;
    newIndex_ = count() - 1;
}

QString ComboBox::List(int index) const { return itemText(index); }

std::int32_t ComboBox::ItemData(int index) const {
    const QVariant data = itemData(index, kItemDataRole);
    return data.isValid() ? static_cast<std::int32_t>(data.toInt()) : 0;
}

void ComboBox::SetItemData(int index, std::int32_t data) {
    setItemData(index, QVariant(static_cast<int>(data)), kItemDataRole);
}

void ComboBox::SetListIndex(int index) {
    const QSignalBlocker blocker(this);
    if (index < -1 || index >= count()) index = -1;
    setCurrentIndex(index);
    if (index == -1) clearEditText();
    lineEdit()->setModified(false);
    listIndex_ = index;
}

}  // namespace lomi::ui
