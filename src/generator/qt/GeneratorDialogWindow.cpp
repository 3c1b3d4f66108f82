#include "generator/qt/GeneratorDialogWindow.h"

#include "controls/qt/ControlBinders.h"
#include "generator/DurationDialog.h"
#include "generator/qt/DurationWindow.h"
#include "generator/qt/ExportProgressDialog.h"
#include "generator/qt/MultitoneWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace tonewell {

namespace {

const std::array<QString, 2> kChannelNames{QStringLiteral("A"), QStringLiteral("B")};

// A button named name; without one it is announced by its caption, whatever that reads.
QPushButton* Button(QWidget* parent, const QString& name = {}) {
    auto* button = new QPushButton(parent);
    // Enter in a box never presses a button behind the user's back.
    button->setAutoDefault(false);
    if (!name.isEmpty()) button->setAccessibleName(name);
    return button;
}

// A list named name. Screen readers on the Linux desktop announce a combo box by its current
// row, so the description says what it selects.
QComboBox* Combo(QWidget* parent, const QString& name, const QString& selects) {
    auto* box = new QComboBox(parent);
    box->setAccessibleName(name);
    box->setAccessibleDescription(selects);
    box->setMinimumContentsLength(7);
    return box;
}

// A combo box bound to its list. Typed numbers are taken as typed: no preset is completed
// into the box behind the user's keys ("5" would become "5000").
void Bind(QComboBox* box, ListControl& list) {
    BindList(box, list);
    if (box->isEditable()) box->setCompleter(nullptr);
}

// A vertical slider of the function page (position 0 at the top, bound so).
QSlider* VerticalSlider(QWidget* parent, const QString& name) {
    auto* slider = new QSlider(Qt::Vertical, parent);
    slider->setPageStep(10);
    slider->setMinimumHeight(110);
    slider->setAccessibleName(name);
    slider->setToolTip(name);
    return slider;
}

QLabel* Caption(const QString& text, QWidget* parent, QWidget* buddy = nullptr) {
    auto* label = new QLabel(text, parent);
    if (buddy) label->setBuddy(buddy);
    return label;
}

}  // namespace

GeneratorDialogWindow::GeneratorDialogWindow(GeneratorDialog& model, QWidget* parent)
    : QDialog(parent), model_(model) {
    setWindowTitle(QString::fromLatin1(kGeneratorDialogTitle));
    setObjectName(QStringLiteral("generatorDialog"));
    setModal(true);

    tabs_ = new QTabWidget(this);
    tabs_->setAccessibleName(QStringLiteral("Pages"));
    tabs_->addTab(makeFunctionPage(), QString::fromLatin1(kGeneratorTabLabels[kFunctionTab]));
    tabs_->addTab(makeSweepPage(), QString::fromLatin1(kGeneratorTabLabels[kSweepTab]));
    tabs_->addTab(makeSamplingPage(), QString::fromLatin1(kGeneratorTabLabels[kSamplingTab]));
    tabs_->setCurrentIndex(model_.tab());
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int index) { model_.selectTab(index); });

    save_ = Button(this, QStringLiteral("Save"));
    // "Run" or "Stop" as its caption reads; what it is for, in its description.
    run_ = Button(this);
    run_->setAccessibleDescription(QStringLiteral("Run or Stop the output"));
    ok_ = Button(this, QStringLiteral("Ok"));
    BindButton(save_, model_.save);
    BindButton(run_, model_.runStop);
    BindButton(ok_, model_.ok);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(save_);
    buttons->addWidget(run_);
    buttons->addWidget(ok_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addLayout(buttons);

    model_.setHost(this);
}

GeneratorDialogWindow::~GeneratorDialogWindow() {
    progress_.reset();
    model_.close();
    model_.setHost(nullptr);
}

QWidget* GeneratorDialogWindow::makeFunctionPage() {
    auto* page = new QWidget;
    page->setAccessibleName(QString::fromLatin1(kGeneratorTabLabels[kFunctionTab]));
    GeneratorDialog::FunctionPage& f = model_.function;

    auto* grid = new QGridLayout;
    grid->addWidget(Caption(kChannelNames[0], page), 0, 1, Qt::AlignHCenter);
    grid->addWidget(Caption(kChannelNames[1], page), 0, 3, Qt::AlignHCenter);
    for (int channel = 0; channel < 2; ++channel) {
        const QString name = kChannelNames[static_cast<std::size_t>(channel)];
        const auto at = static_cast<std::size_t>(channel);
        const QString ofChannel = QStringLiteral(" of channel ") + name;
        waveform_[at] = Combo(page, QStringLiteral("Waveform ") + name, QStringLiteral("Waveform") + ofChannel);
        frequency_[at] = Combo(page, QStringLiteral("Output Frequency (Hz) ") + name,
                               QStringLiteral("Output frequency") + ofChannel + QStringLiteral(", in Hz"));
        amplitude_[at] = Combo(page, QStringLiteral("Output Amplitude (mV) ") + name,
                               QStringLiteral("Output amplitude") + ofChannel + QStringLiteral(", in mV"));
        Bind(waveform_[at], f.waveform[at]);
        Bind(frequency_[at], f.frequency[at]);
        Bind(amplitude_[at], f.amplitude[at]);
        const int column = 1 + 2 * channel;
        grid->addWidget(waveform_[at], 1, column);
        grid->addWidget(frequency_[at], 2, column);
        grid->addWidget(amplitude_[at], 3, column);
    }
    grid->addWidget(Caption(QStringLiteral("Waveform"), page, waveform_[0]), 1, 0);
    grid->addWidget(Caption(QStringLiteral("Output Frequency (Hz)"), page, frequency_[0]), 2, 0);
    grid->addWidget(Caption(QStringLiteral("Output Amplitude (mV)"), page, amplitude_[0]), 3, 0);

    auto* configure = Button(page, QStringLiteral("Configure the multitone set or the waveform library"));
    configure->setToolTip(configure->accessibleName());
    configure->setMaximumWidth(configure->fontMetrics().horizontalAdvance(QStringLiteral("....")) + 16);
    BindButton(configure, f.configure);
    grid->addWidget(configure, 1, 2);

    // The sliders of each channel under its boxes: frequency, then amplitude.
    for (int channel = 0; channel < 2; ++channel) {
        const QString name = kChannelNames[static_cast<std::size_t>(channel)];
        const auto at = static_cast<std::size_t>(channel);
        frequencySlider_[at] = VerticalSlider(page, QStringLiteral("Output Frequency ") + name + QStringLiteral(" slider"));
        amplitudeSlider_[at] = VerticalSlider(page, QStringLiteral("Output Amplitude ") + name + QStringLiteral(" slider"));
        BindSlider(frequencySlider_[at], f.frequencySlider[at], true);
        BindSlider(amplitudeSlider_[at], f.amplitudeSlider[at], true);
        auto* pair = new QGridLayout;
        pair->addWidget(Caption(QStringLiteral("Hz"), page), 0, 0, Qt::AlignHCenter);
        pair->addWidget(Caption(QStringLiteral("mV"), page), 0, 1, Qt::AlignHCenter);
        pair->addWidget(frequencySlider_[at], 1, 0, Qt::AlignHCenter);
        pair->addWidget(amplitudeSlider_[at], 1, 1, Qt::AlignHCenter);
        grid->addLayout(pair, 4, 1 + 2 * channel);
    }

    phase_ = Combo(page, QStringLiteral("Phase Difference (Degree)"),
                   QStringLiteral("Phase difference between channels A and B, in degrees"));
    Bind(phase_, f.phase);
    auto* phaseLabel = Caption(QStringLiteral("Phase Difference (Degree)"), page, phase_);
    BindState(phaseLabel, f.phaseLabel);
    phaseSlider_ = new QSlider(Qt::Horizontal, page);
    phaseSlider_->setPageStep(10);
    phaseSlider_->setAccessibleName(QStringLiteral("Phase Difference slider"));
    phaseSlider_->setToolTip(phaseSlider_->accessibleName());
    BindSlider(phaseSlider_, f.phaseSlider);
    grid->addWidget(phaseLabel, 5, 0);
    grid->addWidget(phase_, 5, 1);
    grid->addWidget(phaseSlider_, 6, 0, 1, 4);

    auto* sweep = new QCheckBox(QString::fromStdString(f.sweep.label()), page);
    sweep->setAccessibleName(sweep->text());
    BindCheck(sweep, f.sweep);
    auto* display = new QCheckBox(QString::fromStdString(f.displayInScope.label()), page);
    display->setAccessibleName(display->text());
    BindCheck(display, f.displayInScope);
    auto* checks = new QHBoxLayout;
    checks->addWidget(sweep);
    checks->addWidget(display);
    checks->addStretch(1);

    auto* fileName = new QLabel(page);
    fileName->setAccessibleName(QStringLiteral("File name"));
    fileName->setObjectName(QStringLiteral("fileName"));
    fileName->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // A long path must not widen the dialog; the tip shows it whole.
    fileName->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    fileName->setFrameShape(QFrame::StyledPanel);
    BindText(fileName, f.fileName);

    auto* layout = new QVBoxLayout(page);
    layout->addLayout(grid);
    layout->addLayout(checks);
    layout->addWidget(fileName);
    return page;
}

QWidget* GeneratorDialogWindow::makeSweepPage() {
    auto* page = new QWidget;
    page->setAccessibleName(QString::fromLatin1(kGeneratorTabLabels[kSweepTab]));
    GeneratorDialog::SweepPage& s = model_.sweep;
    auto* grid = new QGridLayout;
    grid->addWidget(Caption(kChannelNames[0], page), 0, 1, Qt::AlignHCenter);
    grid->addWidget(Caption(kChannelNames[1], page), 0, 2, Qt::AlignHCenter);
    QLineEdit* firstStart = nullptr;
    QLineEdit* firstEnd = nullptr;
    for (int channel = 0; channel < 2; ++channel) {
        const QString name = kChannelNames[static_cast<std::size_t>(channel)];
        const auto at = static_cast<std::size_t>(channel);
        auto* start = new QLineEdit(page);
        start->setAccessibleName(QStringLiteral("Start Frequency (Hz) ") + name);
        BindEdit(start, s.start[at]);
        auto* end = new QLineEdit(page);
        end->setAccessibleName(QStringLiteral("End Frequency (Hz) ") + name);
        BindEdit(end, s.end[at]);
        auto* linear = new QRadioButton(QStringLiteral("Linear"), page);
        linear->setAccessibleName(QStringLiteral("Linear ") + name);
        auto* log = new QRadioButton(QStringLiteral("Log"), page);
        log->setAccessibleName(QStringLiteral("Log ") + name);
        BindRadio({linear, log}, s.law[at]);
        auto* law = new QHBoxLayout;
        law->addWidget(linear);
        law->addWidget(log);
        grid->addWidget(start, 1, 1 + channel);
        grid->addWidget(end, 2, 1 + channel);
        grid->addLayout(law, 3, 1 + channel);
        if (channel == 0) {
            firstStart = start;
            firstEnd = end;
        }
    }
    grid->addWidget(Caption(QStringLiteral("Start Frequency (Hz)"), page, firstStart), 1, 0);
    grid->addWidget(Caption(QStringLiteral("End Frequency (Hz)"), page, firstEnd), 2, 0);
    auto* duration = new QLineEdit(page);
    duration->setAccessibleName(QStringLiteral("Duration (s)"));
    BindEdit(duration, s.duration);
    grid->addWidget(Caption(QStringLiteral("Duration (s)"), page, duration), 4, 0);
    grid->addWidget(duration, 4, 1);
    grid->setRowStretch(5, 1);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(grid);
    return page;
}

QWidget* GeneratorDialogWindow::makeSamplingPage() {
    auto* page = new QWidget;
    page->setAccessibleName(QString::fromLatin1(kGeneratorTabLabels[kSamplingTab]));
    GeneratorDialog::SamplingPage& s = model_.sampling;
    auto* grid = new QGridLayout;
    struct Row {
        QString name;
        QString selects;
        ListControl* list;
    };
    const std::array<Row, 3> rows{{
        {QStringLiteral("Sampling Frequency"), QStringLiteral("Sampling frequency of the output, in Hz"), &s.rate},
        {QStringLiteral("Sampling Channels"), QStringLiteral("Channels of the output"), &s.channels},
        {QStringLiteral("Sampling Resolution"), QStringLiteral("Sampling resolution of the output, in bits"), &s.resolution},
    }};
    int row = 0;
    for (const auto& [name, selects, list] : rows) {
        QComboBox* box = Combo(page, name, selects);
        Bind(box, *list);
        grid->addWidget(Caption(name, page, box), row, 0);
        grid->addWidget(box, row, 1);
        ++row;
    }
    grid->setRowStretch(row, 1);
    grid->setColumnStretch(2, 1);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(grid);
    return page;
}

// ---- GeneratorDialogHost --------------------------------------------------------------------------

void GeneratorDialogWindow::showMultitones() {
    MultitoneWindow window(model_.multitones, this);
    window.exec();
}

std::optional<std::uint32_t> GeneratorDialogWindow::askDuration() {
    DurationDialog model;
    DurationWindow window(model, model_.shell(), this);
    if (window.exec() != QDialog::Accepted) return std::nullopt;
    return window.seconds();
}

ExportProgress* GeneratorDialogWindow::exportProgress() {
    if (!progress_) progress_ = std::make_unique<ExportProgressDialog>(this);
    progress_->setDelay(progressDelay_);
    return progress_.get();
}

void GeneratorDialogWindow::activate() {
    raise();
    activateWindow();
}

void GeneratorDialogWindow::closeWindow() { accept(); }

void GeneratorDialogWindow::done(int result) {
    model_.close();
    QDialog::done(result);
}

void RunGeneratorDialog(GeneratorDialog& model, QWidget* parent) {
    GeneratorDialogWindow window(model, parent);
    model.open();
    window.exec();
    model.close();
}

}  // namespace tonewell
