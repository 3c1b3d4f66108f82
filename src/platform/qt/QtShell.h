#pragma once
// The Shell of the Qt program: message boxes and choosers as Qt dialogs, posted work and
// commands through the event loop of the main window's thread, timers as QTimer by id.

#include "platform/Shell.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <map>

class QTimer;

namespace tonewell {

class QtShell : public QObject, public Shell {
    Q_OBJECT
public:
    explicit QtShell(QObject* parent = nullptr);

    // Dialogs are parented to this window; commands and timers are delivered to the handlers.
    void setWindow(QWidget* window) { window_ = window; }
    std::function<void(int)> commandHandler;
    std::function<void(int)> timerHandler;

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

    // "Name (*.a)|*.a|Other (*.b)|*.b|" -> "Name (*.a);;Other (*.b)"
    static QString toQtFilter(const std::string& filter);

private:
    void setTimerOnUiThread(int timerId, int milliseconds);
    void killTimerOnUiThread(int timerId);

    QPointer<QWidget> window_;
    std::map<int, QTimer*> timers_;
};

}  // namespace tonewell
