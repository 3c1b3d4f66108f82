#pragma once
// The Shell of a program without a screen: each message is written to a stream as one line the
// moment it is shown, and counted so the caller can tell whether the core said anything. Every
// question gets the answer of a user who is not there: the save prompt "No", every chooser
// cancelled, no process started. There is no main window, so posted commands and timers go
// nowhere; posted work waits until runPosted().

#include "platform/Shell.h"

#include <cstddef>
#include <deque>
#include <iosfwd>
#include <mutex>
#include <string>
#include <vector>

namespace tonewell {

class ConsoleShell : public Shell {
public:
    // Lines go to out as linePrefix followed by the message; out must outlive the shell.
    explicit ConsoleShell(std::ostream& out, std::string linePrefix = {});

    void showMessage(std::string_view text) override;
    SavePromptAnswer promptSave(std::string_view documentName) override;
    void post(std::function<void()> work) override;
    void postCommand(int commandId) override;
    void setTimer(int timerId, int milliseconds) override;
    void killTimer(int timerId) override;
    std::optional<std::string> chooseOpenFile(const FileDialogRequest& request) override;
    std::optional<std::string> chooseSaveFile(const FileDialogRequest& request) override;
    std::optional<std::uint32_t> chooseColour(std::uint32_t initial) override;
    bool startProcess(std::string_view program, std::string_view argument) override;
    void playClick() override;

    // Runs the posted work in order, including work posted while running; returns how many ran.
    int runPosted();

    // The messages shown so far, in order.
    std::vector<std::string> messages() const;
    std::size_t messageCount() const;

private:
    std::ostream& out_;
    const std::string linePrefix_;
    mutable std::mutex mutex_;
    std::vector<std::string> messages_;
    std::deque<std::function<void()>> posted_;
};

}  // namespace tonewell
