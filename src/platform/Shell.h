#pragma once
// What the core asks of the desktop: message boxes, posting work to the UI thread, timers by id,
// file and colour choosers, the save prompt, starting a process and the start click.
// The Qt program implements it with widgets, tonewell-cli with ConsoleShell; tests use RecordingShell.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace tonewell {

// Answer of the "save changes?" prompt.
enum class SavePromptAnswer { Yes, No, Cancel };

// Framework command identifiers the core posts to the main window.
inline constexpr int kCommandFileClose = 57602;

struct FileDialogRequest {
    std::string filter;        // "Name (*.ext)|*.ext|" pairs, as the system words them
    std::string defaultExtension;  // without the dot, may be empty
    std::string initialPath;   // folder or file name shown first, may be empty
    bool promptOverwrite = false;  // save dialogs: ask before replacing a file
};

// A save chooser's answer: the path and the 0-based row of the filter left selected.
struct SaveFileChoice {
    std::string path;
    int filterIndex = 0;
};

class Shell {
public:
    virtual ~Shell() = default;

    // Modal message box with an OK button. Called on the UI thread.
    virtual void showMessage(std::string_view text) = 0;

    // Asks whether to save the changes of the named document.
    virtual SavePromptAnswer promptSave(std::string_view documentName) = 0;

    // Runs work on the UI thread later. Safe to call from any thread.
    virtual void post(std::function<void()> work) = 0;

    // Posts a framework or system command (e.g. kCommandFileClose) to the main window.
    // Safe to call from any thread.
    virtual void postCommand(int commandId) = 0;

    // Main-frame timers by id; the frame's timer handler receives the id. Starting a running
    // timer restarts it. Safe to call from any thread.
    virtual void setTimer(int timerId, int milliseconds) = 0;
    virtual void killTimer(int timerId) = 0;

    // File choosers: the chosen path, or nothing when the user cancelled.
    virtual std::optional<std::string> chooseOpenFile(const FileDialogRequest& request) = 0;
    virtual std::optional<std::string> chooseSaveFile(const FileDialogRequest& request) = 0;

    // Save chooser for callers whose file type follows the selected filter. A shell that cannot
    // tell the filter reports the first one.
    virtual std::optional<SaveFileChoice> chooseSaveFileAndFilter(const FileDialogRequest& request) {
        std::optional<std::string> path = chooseSaveFile(request);
        if (!path) return std::nullopt;
        return SaveFileChoice{std::move(*path), 0};
    }

    // Colour chooser: 0x00BBGGRR in and out; nothing when cancelled.
    virtual std::optional<std::uint32_t> chooseColour(std::uint32_t initial) = 0;

    // Starts a program with one argument; false when it could not be started.
    virtual bool startProcess(std::string_view program, std::string_view argument) = 0;

    // The short click played when capture starts.
    virtual void playClick() = 0;
};

}  // namespace tonewell
