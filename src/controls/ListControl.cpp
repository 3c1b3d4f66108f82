#include "controls/ListControl.h"

#include "shared/RangeTables.h"

namespace tonewell {

void ListControl::setItems(std::vector<std::string> items) {
    items_ = std::move(items);
    selection_ = kNoSelection;
    text_.clear();
    notify();
}

void ListControl::setItems(const RangeTable& table) {
    std::vector<std::string> items;
    items.reserve(table.names.size());
    for (std::string_view name : table.names) items.emplace_back(name);
    setItems(std::move(items));
}

void ListControl::fill(const RangeTable& table) {
    setItems(table);
    if (editable_)
        setText(std::to_string(table.defaultIndex));
    else
        setSelection(table.defaultIndex);
}

void ListControl::setSelection(int row) {
    selection_ = row >= 0 && row < count() ? row : kNoSelection;
    if (editable_) text_ = selection_ == kNoSelection ? std::string() : items_[static_cast<std::size_t>(selection_)];
    notify();
}

std::string ListControl::text() const {
    if (editable_) return text_;
    return selection_ == kNoSelection ? std::string() : items_[static_cast<std::size_t>(selection_)];
}

void ListControl::setText(std::string text) {
    if (!editable_) return;
    text_ = std::move(text);
    if (selection_ != kNoSelection && items_[static_cast<std::size_t>(selection_)] != text_) selection_ = kNoSelection;
    notify();
}

void ListControl::userSelect(int row) {
    if (!operable() || row < 0 || row >= count()) return;
    setSelection(row);
    if (selectionHandler_) {
        SelectionHandler handler = selectionHandler_;
        handler(row);
    }
}

void ListControl::userEditText(std::string text) {
    if (!operable() || !editable_) return;
    setText(std::move(text));
    if (textHandler_) {
        TextHandler handler = textHandler_;
        std::string typed = text_;
        handler(typed);
    }
}

}  // namespace tonewell
