#include "platform/qt/QtShell.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QMetaObject>
#include <QProcess>
#include <QStringList>
#include <QTimer>

namespace tonewell {

QtShell::QtShell(QObject* parent) : QObject(parent) {}

static QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void QtShell::showMessage(std::string_view text) {
    QMessageBox::information(window_, QStringLiteral("Tonewell"), fromUtf8(text), QMessageBox::Ok);
}

SavePromptAnswer QtShell::promptSave(std::string_view documentName) {
    auto answer = QMessageBox::question(
        window_, QStringLiteral("Tonewell"),
        QStringLiteral("Save changes to %1?").arg(fromUtf8(documentName)),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    if (answer == QMessageBox::Yes) return SavePromptAnswer::Yes;
    if (answer == QMessageBox::No) return SavePromptAnswer::No;
    return SavePromptAnswer::Cancel;
}

void QtShell::post(std::function<void()> work) {
    QMetaObject::invokeMethod(this, [work = std::move(work)] { work(); }, Qt::QueuedConnection);
}

void QtShell::postCommand(int commandId) {
    QMetaObject::invokeMethod(
        this, [this, commandId] { if (commandHandler) commandHandler(commandId); },
        Qt::QueuedConnection);
}

void QtShell::setTimer(int timerId, int milliseconds) {
    QMetaObject::invokeMethod(
        this, [this, timerId, milliseconds] { setTimerOnUiThread(timerId, milliseconds); },
        Qt::AutoConnection);
}

void QtShell::killTimer(int timerId) {
    QMetaObject::invokeMethod(this, [this, timerId] { killTimerOnUiThread(timerId); },
                              Qt::AutoConnection);
}

void QtShell::setTimerOnUiThread(int timerId, int milliseconds) {
    QTimer*& timer = timers_[timerId];
    if (timer == nullptr) {
        timer = new QTimer(this);
        connect(timer, &QTimer::timeout, this, [this, timerId] {
            if (timerHandler) timerHandler(timerId);
        });
    }
    timer->start(milliseconds);
}

void QtShell::killTimerOnUiThread(int timerId) {
    auto found = timers_.find(timerId);
    if (found != timers_.end()) found->second->stop();
}

QString QtShell::toQtFilter(const std::string& filter) {
    QStringList parts = QString::fromUtf8(filter.c_str()).split('|', Qt::SkipEmptyParts);
    QStringList names;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString name = parts[i];
        QString patterns = parts[i + 1];
        patterns.replace(';', ' ');
        if (!name.contains('(')) name += " (" + patterns + ")";
        else name = name.left(name.indexOf('(')).trimmed() + " (" + patterns + ")";
        names << name;
    }
    return names.join(";;");
}

std::optional<std::string> QtShell::chooseOpenFile(const FileDialogRequest& request) {
    QString path = QFileDialog::getOpenFileName(window_, QString(),
                                                QString::fromStdString(request.initialPath),
                                                toQtFilter(request.filter));
    if (path.isEmpty()) return std::nullopt;
    return path.toStdString();
}

std::optional<std::string> QtShell::chooseSaveFile(const FileDialogRequest& request) {
    QFileDialog dialog(window_, QString(), QString::fromStdString(request.initialPath),
                       toQtFilter(request.filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QString::fromStdString(request.defaultExtension));
    if (!request.promptOverwrite) dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().front().toStdString();
}

std::optional<SaveFileChoice> QtShell::chooseSaveFileAndFilter(const FileDialogRequest& request) {
    const QString filters = toQtFilter(request.filter);
    QFileDialog dialog(window_, QString(), QString::fromStdString(request.initialPath), filters);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QString::fromStdString(request.defaultExtension));
    if (!request.promptOverwrite) dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    const int row = static_cast<int>(filters.split(";;").indexOf(dialog.selectedNameFilter()));
    return SaveFileChoice{dialog.selectedFiles().front().toStdString(), row < 0 ? 0 : row};
}

std::optional<std::uint32_t> QtShell::chooseColour(std::uint32_t initial) {
    QColor start(initial & 0xFF, (initial >> 8) & 0xFF, (initial >> 16) & 0xFF);
    QColor chosen = QColorDialog::getColor(start, window_);
    if (!chosen.isValid()) return std::nullopt;
    return static_cast<std::uint32_t>(chosen.red()) | (static_cast<std::uint32_t>(chosen.green()) << 8) |
           (static_cast<std::uint32_t>(chosen.blue()) << 16);
}

bool QtShell::startProcess(std::string_view program, std::string_view argument) {
    return QProcess::startDetached(fromUtf8(program), QStringList{fromUtf8(argument)});
}

void QtShell::playClick() { QApplication::beep(); }

}  // namespace tonewell
