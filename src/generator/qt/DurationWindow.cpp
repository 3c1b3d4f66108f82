#include "generator/qt/DurationWindow.h"

#include "generator/DurationDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tonewell {

DurationWindow::DurationWindow(DurationDialog& model, Shell& shell, QWidget* parent)
    : QDialog(parent), model_(model), shell_(shell) {
    setWindowTitle(QStringLiteral("Duration"));
    setObjectName(QStringLiteral("durationDialog"));
    box_ = new QLineEdit(QString::fromStdString(model_.text), this);
    box_->setObjectName(QStringLiteral("duration"));
    box_->setAccessibleName(QStringLiteral("Duration (s)"));
    box_->selectAll();
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Duration (s)"), box_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setAccessibleName(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setAccessibleName(QStringLiteral("Cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

void DurationWindow::accept() {
    model_.text = box_->text().toStdString();
    seconds_ = model_.accept(shell_);
    if (seconds_) QDialog::accept();
}

}  // namespace tonewell
