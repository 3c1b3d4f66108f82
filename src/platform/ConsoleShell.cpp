#include "platform/ConsoleShell.h"

#include <ostream>

namespace tonewell {

ConsoleShell::ConsoleShell(std::ostream& out, std::string linePrefix)
    : out_(out), linePrefix_(std::move(linePrefix)) {}

void ConsoleShell::showMessage(std::string_view text) {
    std::lock_guard lock(mutex_);
    messages_.emplace_back(text);
    out_ << linePrefix_ << text << '\n';
}

SavePromptAnswer ConsoleShell::promptSave(std::string_view) { return SavePromptAnswer::No; }

void ConsoleShell::post(std::function<void()> work) {
    std::lock_guard lock(mutex_);
    posted_.push_back(std::move(work));
}

void ConsoleShell::postCommand(int) {}
void ConsoleShell::setTimer(int, int) {}
void ConsoleShell::killTimer(int) {}

std::optional<std::string> ConsoleShell::chooseOpenFile(const FileDialogRequest&) { return std::nullopt; }
std::optional<std::string> ConsoleShell::chooseSaveFile(const FileDialogRequest&) { return std::nullopt; }
std::optional<std::uint32_t> ConsoleShell::chooseColour(std::uint32_t) { return std::nullopt; }
bool ConsoleShell::startProcess(std::string_view, std::string_view) { return false; }
void ConsoleShell::playClick() {}

int ConsoleShell::runPosted() {
    int ran = 0;
    for (;;) {
        std::function<void()> work;
        {
            std::lock_guard lock(mutex_);
            if (posted_.empty()) return ran;
            work = std::move(posted_.front());
            posted_.pop_front();
        }
        work();
        ++ran;
    }
}

std::vector<std::string> ConsoleShell::messages() const {
    std::lock_guard lock(mutex_);
    return messages_;
}

std::size_t ConsoleShell::messageCount() const {
    std::lock_guard lock(mutex_);
    return messages_.size();
}

}  // namespace tonewell
