#pragma once
// A group of radio buttons ("Linear"/"Log", the two display modes): one option chosen at a time.
// The handler runs when the user clicked an option, also the one already chosen; a choice made
// by the program runs none.

#include <string>
#include <vector>

#include "controls/Control.h"

namespace tonewell {

class RadioControl : public Control {
public:
    static constexpr int kNoChoice = -1;
    using ChoiceHandler = std::function<void(int option)>;

    RadioControl(int id, std::vector<std::string> labels);

    const std::vector<std::string>& labels() const { return labels_; }
    int count() const { return static_cast<int>(labels_.size()); }

    int choice() const { return choice_; }
    // An option outside the group leaves none chosen.
    void setChoice(int option);

    void userChoose(int option);

    void setChoiceHandler(ChoiceHandler handler) { choiceHandler_ = std::move(handler); }

private:
    std::vector<std::string> labels_;
    int choice_ = kNoChoice;
    ChoiceHandler choiceHandler_;
};

}  // namespace tonewell
