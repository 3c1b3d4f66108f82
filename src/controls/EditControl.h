#pragma once
// An edit box. Its handler hears every change of the text, whether the user typed it or the
// program (or a bound spin button) set it, so a handler that rewrites the text hears its own
// rewrite too. Setting the text it already has is no change. A read-only box refuses typing but
// still takes text from the program.

#include <cstddef>
#include <string>

#include "controls/Control.h"

namespace tonewell {

class EditControl : public Control {
public:
    using TextHandler = std::function<void(const std::string& text)>;

    explicit EditControl(int id = 0) : Control(id) {}

    const std::string& text() const { return text_; }
    void setText(std::string text);

    // The user typed: ignored when the box is read-only or not operable. Typed text is cut to
    // the limit; text set by the program is not.
    void userType(std::string text);

    bool readOnly() const { return readOnly_; }
    void setReadOnly(bool readOnly);

    // Most characters (bytes) the user can type; 0 = no limit.
    std::size_t limit() const { return limit_; }
    void setLimit(std::size_t limit) { limit_ = limit; }

    void setTextHandler(TextHandler handler) { textHandler_ = std::move(handler); }

private:
    std::string text_;
    bool readOnly_ = false;
    std::size_t limit_ = 0;
    TextHandler textHandler_;
};

}  // namespace tonewell
