#pragma once
// A drop-down list, optionally with editable text (the record length "Point" box, the
// generator's frequency, amplitude and phase boxes). The selection handler runs only for a row
// the user picked (also when it is the row already selected); the text handler only for text the
// user typed. Changes made by the program run no handler, only the observer.

#include <string>
#include <string_view>
#include <vector>

#include "controls/Control.h"

namespace tonewell {

struct RangeTable;

class ListControl : public Control {
public:
    static constexpr int kNoSelection = -1;
    using SelectionHandler = std::function<void(int row)>;
    using TextHandler = std::function<void(const std::string& text)>;

    explicit ListControl(int id = 0, bool editable = false) : Control(id), editable_(editable) {}

    bool editable() const { return editable_; }

    // Replaces the rows; the selection (and the text of an editable list) is cleared.
    void setItems(std::vector<std::string> items);
    // Fills the rows with the strings of a selector list, in row order.
    void setItems(const RangeTable& table);
    // Fills from a selector list and selects its stored row; an editable list shows the stored
    // value as its text instead.
    void fill(const RangeTable& table);
    void clear() { setItems(std::vector<std::string>{}); }
    const std::vector<std::string>& items() const { return items_; }
    int count() const { return static_cast<int>(items_.size()); }

    int selection() const { return selection_; }
    bool hasSelection() const { return selection_ != kNoSelection; }
    // Selects a row; a row outside the list leaves nothing selected. An editable list shows the
    // row's string (or empty text when nothing is selected).
    void setSelection(int row);

    // The text of an editable list (for a plain list, the selected row's string).
    std::string text() const;
    // Sets the text of an editable list; the selection stays only while the text is the
    // selected row's. Ignored by a plain list.
    void setText(std::string text);

    // The user picked a row (ignored when not operable or outside the list).
    void userSelect(int row);
    // The user typed into an editable list (ignored when not operable or not editable).
    void userEditText(std::string text);

    void setSelectionHandler(SelectionHandler handler) { selectionHandler_ = std::move(handler); }
    void setTextHandler(TextHandler handler) { textHandler_ = std::move(handler); }

private:
    bool editable_;
    std::vector<std::string> items_;
    int selection_ = kNoSelection;
    std::string text_;
    SelectionHandler selectionHandler_;
    TextHandler textHandler_;
};

}  // namespace tonewell
