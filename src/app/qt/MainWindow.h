#pragma once
// The main frame: menu, toolbars, the oscilloscope pane above the spectrum pane, status bar.

#include <QMainWindow>

class QSplitter;

namespace tonewell {

class QtShell;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QtShell& shell, QWidget* parent = nullptr);

    QWidget* scopePane() const { return scopePane_; }
    QWidget* spectrumPane() const { return spectrumPane_; }
    QSplitter* splitter() const { return splitter_; }

private:
    void buildMenus();

    QtShell& shell_;
    QSplitter* splitter_ = nullptr;
    QWidget* scopePane_ = nullptr;
    QWidget* spectrumPane_ = nullptr;
};

}  // namespace tonewell
