#include "platform/RecordingShell.h"

#include <algorithm>

namespace tonewell {

void RecordingShell::showMessage(std::string_view text) {
    std::lock_guard lock(mutex_);
    messages_.emplace_back(text);
}

SavePromptAnswer RecordingShell::promptSave(std::string_view) {
    ++savePrompts;
    return savePromptAnswer;
}

void RecordingShell::post(std::function<void()> work) {
    std::lock_guard lock(mutex_);
    posted_.push_back(std::move(work));
}

void RecordingShell::postCommand(int commandId) {
    std::lock_guard lock(mutex_);
    commands_.push_back(commandId);
}

void RecordingShell::setTimer(int timerId, int) {
    std::lock_guard lock(mutex_);
    if (std::find(timers_.begin(), timers_.end(), timerId) == timers_.end()) timers_.push_back(timerId);
}

void RecordingShell::killTimer(int timerId) {
    std::lock_guard lock(mutex_);
    timers_.erase(std::remove(timers_.begin(), timers_.end(), timerId), timers_.end());
}

namespace {
template <typename T>
std::optional<T> popAnswer(std::deque<std::optional<T>>& answers) {
    if (answers.empty()) return std::nullopt;
    auto answer = answers.front();
    answers.pop_front();
    return answer;
}
}  // namespace

std::optional<std::string> RecordingShell::chooseOpenFile(const FileDialogRequest& request) {
    fileRequests.push_back(request);
    return popAnswer(openFileAnswers);
}

std::optional<std::string> RecordingShell::chooseSaveFile(const FileDialogRequest& request) {
    fileRequests.push_back(request);
    return popAnswer(saveFileAnswers);
}

std::optional<SaveFileChoice> RecordingShell::chooseSaveFileAndFilter(const FileDialogRequest& request) {
    std::optional<std::string> path = chooseSaveFile(request);
    int filter = 0;
    if (!saveFilterAnswers.empty()) {
        filter = saveFilterAnswers.front();
        saveFilterAnswers.pop_front();
    }
    if (!path) return std::nullopt;
    return SaveFileChoice{std::move(*path), filter};
}

std::optional<std::uint32_t> RecordingShell::chooseColour(std::uint32_t) { return popAnswer(colourAnswers); }

bool RecordingShell::startProcess(std::string_view program, std::string_view argument) {
    startedProcesses.push_back(std::string(program) + " " + std::string(argument));
    return processStarts;
}

void RecordingShell::playClick() { ++clicks; }

int RecordingShell::runPosted() {
    int count = 0;
    for (;;) {
        std::function<void()> work;
        {
            std::lock_guard lock(mutex_);
            if (posted_.empty()) break;
            work = std::move(posted_.front());
            posted_.pop_front();
        }
        work();
        ++count;
    }
    return count;
}

std::vector<std::string> RecordingShell::messages() const {
    std::lock_guard lock(mutex_);
    return messages_;
}

std::vector<int> RecordingShell::postedCommands() const {
    std::lock_guard lock(mutex_);
    return commands_;
}

std::vector<int> RecordingShell::activeTimers() const {
    std::lock_guard lock(mutex_);
    return timers_;
}

void RecordingShell::clear() {
    std::lock_guard lock(mutex_);
    messages_.clear();
    commands_.clear();
    timers_.clear();
    posted_.clear();
}

}  // namespace tonewell
