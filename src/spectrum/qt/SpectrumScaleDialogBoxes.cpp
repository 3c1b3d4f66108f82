#include "spectrum/qt/SpectrumScaleDialogBoxes.h"

#include "controls/qt/ControlBinders.h"
#include "spectrum/SpectrumXScaleDialog.h"
#include "spectrum/SpectrumYScaleDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tonewell {

namespace {

QDialogButtonBox* OkCancel(QDialog* dialog) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    buttons->button(QDialogButtonBox::Ok)->setAccessibleName(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setAccessibleName(QStringLiteral("Cancel"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

QRadioButton* Radio(const RadioControl& model, int index, QWidget* parent) {
    const QString label = QString::fromStdString(model.labels()[static_cast<std::size_t>(index)]);
    auto* button = new QRadioButton(label, parent);
    button->setAccessibleName(label);
    return button;
}

}  // namespace

SpectrumXScaleDialogBox::SpectrumXScaleDialogBox(SpectrumXScaleDialog& model, QWidget* parent)
    : QDialog(parent), model_(model) {
    setWindowTitle(QString::fromLatin1(kSpectrumXScaleTitle));
    setAccessibleName(windowTitle());
    auto* layout = new QVBoxLayout(this);
    for (int i = 0; i < 2; ++i) {
        options_[i] = Radio(model.scale, i, this);
        layout->addWidget(options_[i]);
    }
    BindRadio({options_[0], options_[1]}, model.scale);
    layout->addWidget(OkCancel(this));
}

SpectrumXScaleDialogBox::~SpectrumXScaleDialogBox() { model_.scale.setObserver({}); }

void SpectrumXScaleDialogBox::accept() {
    model_.OnOk();
    QDialog::accept();
}

SpectrumYScaleDialogBox::SpectrumYScaleDialogBox(SpectrumYScaleDialog& model, QWidget* parent)
    : QDialog(parent), model_(model) {
    setWindowTitle(QString::fromLatin1(kSpectrumYScaleTitle));
    setAccessibleName(windowTitle());
    auto* layout = new QVBoxLayout(this);
    for (int i = 0; i < 2; ++i) {
        options_[i] = Radio(model.scale, i, this);
        layout->addWidget(options_[i]);
    }
    BindRadio({options_[0], options_[1]}, model.scale);
    const QString label = QString::fromStdString(model.normalized.label());
    normalized_ = new QCheckBox(label, this);
    normalized_->setAccessibleName(label);
    BindCheck(normalized_, model.normalized);
    layout->addWidget(normalized_);
    layout->addWidget(OkCancel(this));
}

SpectrumYScaleDialogBox::~SpectrumYScaleDialogBox() {
    model_.scale.setObserver({});
    model_.normalized.setObserver({});
}

void SpectrumYScaleDialogBox::accept() {
    model_.OnOk();
    QDialog::accept();
}

bool RunSpectrumXScaleDialog(const SpectrumScaleChoice& choice, const RunState& run, QWidget* parent) {
    SpectrumXScaleDialog model(choice, run);
    if (!model.Open()) return false;
    SpectrumXScaleDialogBox box(model, parent);
    return box.exec() == QDialog::Accepted;
}

bool RunSpectrumYScaleDialog(const SpectrumScaleChoice& choice, const RunState& run, QWidget* parent) {
    SpectrumYScaleDialog model(choice, run);
    if (!model.Open()) return false;
    SpectrumYScaleDialogBox box(model, parent);
    return box.exec() == QDialog::Accepted;
}

}  // namespace tonewell
