#pragma once
// The main window: the skin of CMainFrame. Menus File, Setting and Help with every command of
// the table (its prompt as status tip), the command bar with the four check buttons, the six
// parameter bars bound to the front panel, the oscilloscope pane above the spectrum pane, and
// the status bar (command prompts, the audio backend, device counters while running). It lays
// out and forwards; the frame decides. Window geometry, the split and the bar slots are kept in
// QSettings. UI thread.

#include "app/CMainFrame.h"
#include "app/FrameBars.h"
#include "app/FrameWindow.h"

#include <QMainWindow>
#include <QTimer>

#include <map>
#include <memory>
#include <vector>

class QLabel;
class QSplitter;
class QToolBar;

namespace tonewell {

class Instrument;
class QtFrameDialogs;
class QtShell;

class MainWindow : public QMainWindow, public FrameWindow {
    Q_OBJECT
public:
    // The instrument and the shell must outlive the window. The shell's dialogs, commands and
    // timers go to this window and its frame from now on.
    MainWindow(QtShell& shell, Instrument& instrument, int productEdition, QWidget* parent = nullptr);
    ~MainWindow() override;

    CMainFrame& frame() { return *frame_; }
    Instrument& instrument() const { return instrument_; }

    QWidget* scopePane() const { return scopePane_; }
    QWidget* spectrumPane() const { return spectrumPane_; }
    QSplitter* splitter() const { return splitter_; }
    // A view widget takes the place of a pane (the window owns it from then on).
    void setScopeView(QWidget* view);
    void setSpectrumView(QWidget* view);

    // The action of a command of the table; nullptr for the posted ones.
    QAction* commandAction(int id) const;
    QToolBar* commandBar() const { return commandBar_; }
    // The six parameter bars in the order of MakeFrameBars.
    const std::vector<QToolBar*>& parameterBars() const { return barWidgets_; }
    const std::vector<FrameBar>& frameBars() const { return bars_; }

    // Shown in the status bar so the user knows what plays and records.
    void setAudioBackendName(const QString& name);
    QString audioBackendName() const;
    QString runCountsText() const;

    // The commands take their states now (also done when a menu opens and every 250 ms).
    void refreshCommands();

    // FrameWindow
    void showPanes(bool scopeShown, bool spectrumShown) override;
    int lowerPaneHeight() const override;
    void recalcLayout() override;
    void updateCommandBar() override;
    void showWindow() override;
    void closeWindow() override;
    void setDocumentTitle(const std::string& title) override;

signals:
    // The main window has closed for good: the program ends.
    void programEnded();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    // The bars follow their slots; the framework's bar menu would get out of step with them.
    QMenu* createPopupMenu() override { return nullptr; }

private:
    QAction* makeCommandAction(const FrameCommand& command);
    void buildMenus();
    void buildCommandBar();
    void buildParameterBars();
    void replacePane(QWidget*& pane, QWidget* view, int index);
    void restoreSettings();
    void saveSettings() const;
    void showNote(const QString& text);

    QtShell& shell_;
    Instrument& instrument_;
    std::unique_ptr<QtFrameDialogs> dialogs_;
    std::unique_ptr<CMainFrame> frame_;
    std::map<int, QAction*> actions_;
    std::vector<FrameBar> bars_;
    std::vector<QToolBar*> barWidgets_;
    QToolBar* commandBar_ = nullptr;
    QSplitter* splitter_ = nullptr;
    QWidget* scopePane_ = nullptr;
    QWidget* spectrumPane_ = nullptr;
    QLabel* audioLabel_ = nullptr;
    QLabel* countsLabel_ = nullptr;
    QByteArray savedSplit_;
    QTimer refreshTimer_;
    bool shownOnce_ = false;
};

}  // namespace tonewell
