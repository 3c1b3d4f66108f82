#pragma once
// A check box with its label. The handler runs only when the user clicked it (the box toggles
// first); setChecked by the program runs none.

#include <string>

#include "controls/Control.h"

namespace tonewell {

class CheckControl : public Control {
public:
    using CheckHandler = std::function<void(bool checked)>;

    explicit CheckControl(int id = 0, std::string label = {}) : Control(id), label_(std::move(label)) {}

    const std::string& label() const { return label_; }
    bool checked() const { return checked_; }
    void setChecked(bool checked);

    void userClick();

    void setCheckHandler(CheckHandler handler) { checkHandler_ = std::move(handler); }

private:
    std::string label_;
    bool checked_ = false;
    CheckHandler checkHandler_;
};

}  // namespace tonewell
