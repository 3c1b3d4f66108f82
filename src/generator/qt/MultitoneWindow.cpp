#include "generator/qt/MultitoneWindow.h"

#include "controls/qt/ControlBinders.h"
#include "generator/MultitoneDialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace tonewell {

namespace {

QPushButton* Button(QWidget* parent, ButtonControl& control, const QString& name) {
    auto* button = new QPushButton(parent);
    button->setAutoDefault(false);
    button->setAccessibleName(name);
    BindButton(button, control);
    return button;
}

// Screen readers on the Linux desktop announce a combo box by its current row, so the
// description says what it selects.
QComboBox* Combo(QWidget* parent, ListControl& control, const QString& name, const QString& selects) {
    auto* box = new QComboBox(parent);
    box->setAccessibleName(name);
    box->setAccessibleDescription(selects);
    box->setMinimumContentsLength(8);
    BindList(box, control);
    // Typed numbers are taken as typed: no preset is completed into the box.
    if (box->isEditable()) box->setCompleter(nullptr);
    return box;
}

}  // namespace

MultitoneWindow::MultitoneWindow(MultitoneDialog& model, QWidget* parent) : QDialog(parent), model_(model) {
    setWindowTitle(QStringLiteral("MultiTones Configuration"));
    setObjectName(QStringLiteral("multitoneDialog"));
    setModal(true);

    waveform_ = Combo(this, model_.waveform, QStringLiteral("Waveform"), QStringLiteral("Waveform of the tone to add"));
    frequency_ = Combo(this, model_.frequency, QStringLiteral("Frequency (Hz)"),
                       QStringLiteral("Frequency of the tone to add, in Hz"));
    amplitude_ = Combo(this, model_.amplitude, QStringLiteral("Relative Amplitude"),
                       QStringLiteral("Amplitude of the tone to add, relative to the others"));
    auto* boxes = new QGridLayout;
    boxes->addWidget(new QLabel(QStringLiteral("Waveform"), this), 0, 0);
    boxes->addWidget(new QLabel(QStringLiteral("Frequency (Hz)"), this), 0, 1);
    boxes->addWidget(new QLabel(QStringLiteral("Relative Amplitude"), this), 0, 2);
    boxes->addWidget(waveform_, 1, 0);
    boxes->addWidget(frequency_, 1, 1);
    boxes->addWidget(amplitude_, 1, 2);

    auto* lists = new QGridLayout;
    const std::array<QString, 2> names{QStringLiteral("Ch. A"), QStringLiteral("Ch. B")};
    for (int channel = 0; channel < 2; ++channel) {
        const auto at = static_cast<std::size_t>(channel);
        const QString& name = names[at];
        add_[at] = Button(this, model_.add[at], QStringLiteral("Add the tone to ") + name);
        remove_[at] = Button(this, model_.remove[at], QStringLiteral("Remove the tone from ") + name);
        add_[at]->setToolTip(add_[at]->accessibleName());
        remove_[at]->setToolTip(remove_[at]->accessibleName());
        lines_[at] = new QListWidget(this);
        lines_[at]->setAccessibleName(name);
        lines_[at]->setMinimumWidth(lines_[at]->fontMetrics().horizontalAdvance(QStringLiteral("32:WhiteNoise,---,1.000000")) + 32);
        BindListBox(lines_[at], model_.lines[at]);
        auto* buttons = new QVBoxLayout;
        buttons->addStretch(1);
        buttons->addWidget(add_[at]);
        buttons->addWidget(remove_[at]);
        buttons->addStretch(1);
        lists->addWidget(new QLabel(name, this), 0, 2 * channel + 1);
        lists->addLayout(buttons, 1, 2 * channel);
        lists->addWidget(lines_[at], 1, 2 * channel + 1);
    }

    auto* save = Button(this, model_.save, QStringLiteral("Save"));
    auto* load = Button(this, model_.load, QStringLiteral("Load"));
    auto* close = Button(this, model_.close, QStringLiteral("Close"));
    model_.onClosed = [this](const std::string&) { accept(); };
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(save);
    row->addWidget(load);
    row->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(boxes);
    layout->addLayout(lists);
    layout->addLayout(row);
}

MultitoneWindow::~MultitoneWindow() { model_.onClosed = nullptr; }

}  // namespace tonewell
