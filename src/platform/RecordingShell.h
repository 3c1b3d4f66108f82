#pragma once
// A Shell that records what the core asked of it, for tests.
// Posted work runs when runPosted() is called (or at once with runPostedImmediately).
// Choosers answer from queues the caller fills; an empty queue answers "cancelled".

#include "platform/Shell.h"

#include <deque>
#include <mutex>
#include <string>
#include <vector>

namespace tonewell {

class RecordingShell : public Shell {
public:
    void showMessage(std::string_view text) override;
    SavePromptAnswer promptSave(std::string_view documentName) override;
    void post(std::function<void()> work) override;
    void postCommand(int commandId) override;
    void setTimer(int timerId, int milliseconds) override;
    void killTimer(int timerId) override;
    std::optional<std::string> chooseOpenFile(const FileDialogRequest& request) override;
    std::optional<std::string> chooseSaveFile(const FileDialogRequest& request) override;
    std::optional<SaveFileChoice> chooseSaveFileAndFilter(const FileDialogRequest& request) override;
    std::optional<std::uint32_t> chooseColour(std::uint32_t initial) override;
    bool startProcess(std::string_view program, std::string_view argument) override;
    void playClick() override;

    // Runs the posted work in order, including work posted while running; returns how many ran.
    int runPosted();

    // Snapshots (thread-safe).
    std::vector<std::string> messages() const;
    std::vector<int> postedCommands() const;
    std::vector<int> activeTimers() const;
    void clear();

    // Scripted answers.
    SavePromptAnswer savePromptAnswer = SavePromptAnswer::No;
    std::deque<std::optional<std::string>> openFileAnswers;
    std::deque<std::optional<std::string>> saveFileAnswers;
    std::deque<int> saveFilterAnswers;  // filter rows for chooseSaveFileAndFilter; empty: row 0
    std::deque<std::optional<std::uint32_t>> colourAnswers;
    bool processStarts = true;

    // What the choosers and process start were asked (UI thread only).
    std::vector<FileDialogRequest> fileRequests;
    std::vector<std::string> startedProcesses;  // "program argument"
    int savePrompts = 0;
    int clicks = 0;

private:
    mutable std::mutex mutex_;
    std::vector<std::string> messages_;
    std::vector<int> commands_;
    std::vector<int> timers_;
    std::deque<std::function<void()>> posted_;
};

}  // namespace tonewell
