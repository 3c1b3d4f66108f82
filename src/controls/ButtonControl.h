#pragma once
// A push button with its caption ("Run" / "Stop" changes at run time). click() is both the
// user's click and a click the program sends (the end of a sweep clicks Run/Stop); a disabled
// or hidden button ignores either.

#include <string>

#include "controls/Control.h"

namespace tonewell {

class ButtonControl : public Control {
public:
    using ClickHandler = std::function<void()>;

    explicit ButtonControl(int id = 0, std::string caption = {}) : Control(id), caption_(std::move(caption)) {}

    const std::string& caption() const { return caption_; }
    void setCaption(std::string caption);

    void click();

    void setClickHandler(ClickHandler handler) { clickHandler_ = std::move(handler); }

private:
    std::string caption_;
    ClickHandler clickHandler_;
};

}  // namespace tonewell
