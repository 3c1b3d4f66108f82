#pragma once
// The main frame: menu, toolbars, the oscilloscope view above the spectrum view, status bar.

#include <QMainWindow>

class QLabel;
class QSplitter;

namespace tonewell {

class Instrument;
class QtShell;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // The instrument must outlive the window.
    MainWindow(QtShell& shell, Instrument& instrument, QWidget* parent = nullptr);

    Instrument& instrument() const { return instrument_; }

    QWidget* scopePane() const { return scopePane_; }
    QWidget* spectrumPane() const { return spectrumPane_; }
    QSplitter* splitter() const { return splitter_; }

    // Shown in the status bar so the user knows what plays and records.
    void setAudioBackendName(const QString& name);
    QString audioBackendName() const;

private:
    void buildMenus();

    QtShell& shell_;
    Instrument& instrument_;
    QSplitter* splitter_ = nullptr;
    QWidget* scopePane_ = nullptr;
    QWidget* spectrumPane_ = nullptr;
    QLabel* audioLabel_ = nullptr;
};

}  // namespace tonewell
