#include "app/qt/HelpWindow.h"

#include <QFileInfo>
#include <QTextBrowser>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

namespace tonewell {

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window), browser_(new QTextBrowser(this)) {
    setWindowTitle(QStringLiteral("Tonewell Help"));
    setObjectName(QStringLiteral("helpWindow"));
    browser_->setObjectName(QStringLiteral("helpBrowser"));
    browser_->setAccessibleName(QStringLiteral("Help text"));
    // Links out of the help (none today) belong to the desktop's browser, not to this viewer.
    browser_->setOpenExternalLinks(true);

    auto* bar = new QToolBar(this);
    bar->setAccessibleName(QStringLiteral("Help navigation"));
    QAction* back = bar->addAction(QStringLiteral("Back"), browser_, &QTextBrowser::backward);
    QAction* forward = bar->addAction(QStringLiteral("Forward"), browser_, &QTextBrowser::forward);
    bar->addAction(QStringLiteral("Contents"), browser_, &QTextBrowser::home);
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(browser_);
    resize(720, 640);
}

bool HelpWindow::open(const std::filesystem::path& file, const QString& anchor) {
    const QString name = QString::fromStdString(file.string());
    if (!QFileInfo(name).isReadable()) return false;
    QUrl url = QUrl::fromLocalFile(name);
    url.setFragment(anchor);
    browser_->clearHistory();
    browser_->setSource(url);
    if (browser_->document()->isEmpty()) return false;
    show();
    raise();
    activateWindow();
    return true;
}

}  // namespace tonewell
