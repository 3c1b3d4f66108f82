#include "app/qt/MainWindow.h"

#include "app/Instrument.h"
#include "platform/qt/QtShell.h"
#include "scope/qt/ScopeViewWidget.h"
#include "spectrum/qt/SpectrumViewWidget.h"

#include <QAction>
#include <QKeySequence>
#include <QLabel>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>

namespace tonewell {

MainWindow::MainWindow(QtShell& shell, Instrument& instrument, QWidget* parent)
    : QMainWindow(parent), shell_(shell), instrument_(instrument) {
    setWindowTitle(QStringLiteral("Tonewell"));
    splitter_ = new QSplitter(Qt::Vertical, this);
    splitter_->setChildrenCollapsible(false);
    scopePane_ = new ScopeViewWidget(instrument.scope, splitter_);
    spectrumPane_ = new SpectrumViewWidget(instrument.spectrum, splitter_);
    splitter_->addWidget(scopePane_);
    splitter_->addWidget(spectrumPane_);
    splitter_->setStretchFactor(0, 1);
    splitter_->setStretchFactor(1, 1);
    setCentralWidget(splitter_);
    buildMenus();
    audioLabel_ = new QLabel(this);
    audioLabel_->setObjectName(QStringLiteral("audioBackendLabel"));
    statusBar()->addPermanentWidget(audioLabel_);
    statusBar()->showMessage(QStringLiteral("Ready"));
    resize(800, 600);
    splitter_->setSizes({1, 1});
}

void MainWindow::setAudioBackendName(const QString& name) {
    audioLabel_->setText(QStringLiteral("Audio: ") + name);
}

QString MainWindow::audioBackendName() const { return audioLabel_->text(); }

void MainWindow::buildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    QAction* exit = file->addAction(QStringLiteral("Exit"));
    exit->setObjectName(QStringLiteral("actionExit"));
    exit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    exit->setStatusTip(QStringLiteral("Quit the application; prompts to save documents"));
    connect(exit, &QAction::triggered, this, &QWidget::close);
}

}  // namespace tonewell
