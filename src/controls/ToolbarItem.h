#pragma once
// One control of a parameter toolbar as the toolbar lays it out: its id, kind, width in toolbar
// units, and the string-table text that holds the status prompt and the tip, separated by "\n".
// The item points at the control model, which the bar owns.

#include <string_view>

#include "controls/Control.h"

namespace tonewell {

enum class ToolbarControlKind { DropDownList, EditableList, EditBox, SpinButton, Label };

struct ToolbarItem {
    int id = 0;
    ToolbarControlKind kind = ToolbarControlKind::DropDownList;
    int width = 0;                 // toolbar units; 0 = as wide as its text
    std::string_view resourceText;  // "prompt\ntip", as the string table words it
    Control* control = nullptr;    // nullptr for a label
    bool centred = false;          // text centred in an edit box
    std::string_view label;        // the text of a label

    static constexpr ToolbarItem Of(int id, ToolbarControlKind kind, int width, std::string_view resourceText,
                                    Control* control, bool centred = false) {
        ToolbarItem item;
        item.id = id;
        item.kind = kind;
        item.width = width;
        item.resourceText = resourceText;
        item.control = control;
        item.centred = centred;
        return item;
    }

    // The text before the first "\n" (all of it when there is none).
    std::string_view prompt() const { return resourceText.substr(0, resourceText.find('\n')); }
    // The text after the first "\n" (empty when there is none).
    std::string_view tip() const {
        std::size_t split = resourceText.find('\n');
        return split == std::string_view::npos ? std::string_view() : resourceText.substr(split + 1);
    }
};

}  // namespace tonewell
