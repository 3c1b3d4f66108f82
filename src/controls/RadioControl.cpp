#include "controls/RadioControl.h"

namespace tonewell {

RadioControl::RadioControl(int id, std::vector<std::string> labels) : Control(id), labels_(std::move(labels)) {}

void RadioControl::setChoice(int option) {
    int next = option >= 0 && option < count() ? option : kNoChoice;
    if (next == choice_) return;
    choice_ = next;
    notify();
}

void RadioControl::userChoose(int option) {
    if (!operable() || option < 0 || option >= count()) return;
    setChoice(option);
    if (choiceHandler_) {
        ChoiceHandler handler = choiceHandler_;
        handler(option);
    }
}

}  // namespace tonewell
