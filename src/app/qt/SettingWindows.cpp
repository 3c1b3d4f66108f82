#include "app/qt/SettingWindows.h"

#include "acquisition/NotesDialog.h"
#include "app/CalibrationSettingDialog.h"
#include "app/DisplaySettingDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tonewell {

namespace {

QString FromUtf8(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

QPushButton* Button(const QString& text, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setAutoDefault(false);
    return button;
}

// OK and Cancel, with the dialog's own buttons before them.
QHBoxLayout* ButtonRow(QDialog* dialog, std::initializer_list<QPushButton*> extra) {
    auto* row = new QHBoxLayout;
    for (QPushButton* button : extra) row->addWidget(button);
    row->addStretch(1);
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    QObject::connect(box, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    row->addWidget(box);
    return row;
}

QIcon Swatch(std::uint32_t colour) {
    QPixmap pixmap(40, 16);
    pixmap.fill(QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF));
    return QIcon(pixmap);
}

}  // namespace

// ---- Notes ----------------------------------------------------------------------------------

NotesWindow::NotesWindow(NotesDialog& model, QWidget* parent) : QDialog(parent), model_(model) {
    setWindowTitle(QString::fromLatin1(kNotesDialogTitle));
    setObjectName(QStringLiteral("notesDialog"));
    text_ = new QPlainTextEdit(this);
    text_->setAccessibleName(QStringLiteral("Note"));
    text_->setPlainText(FromUtf8(model_.Text()));
    display_ = new QCheckBox(QString::fromLatin1(kNotesDisplayLabel), this);
    display_->setChecked(model_.Display());
    connect(text_, &QPlainTextEdit::textChanged, this, &NotesWindow::onTextChanged);
    // The tick, however it changed (a click, or a screen reader's toggle that clicks nothing).
    connect(display_, &QCheckBox::toggled, this, [this](bool checked) { model_.OnDisplayClicked(checked); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_);
    layout->addWidget(display_);
    layout->addLayout(ButtonRow(this, {}));
    resize(420, 260);
}

void NotesWindow::onTextChanged() {
    // The box holds at most 1023 characters, as the note does.
    const QString text = text_->toPlainText();
    if (text.size() > static_cast<qsizetype>(kNotesBoxLimit)) {
        const QSignalBlocker block(text_);
        text_->setPlainText(text.left(static_cast<qsizetype>(kNotesBoxLimit)));
        text_->moveCursor(QTextCursor::End);
    }
}

void NotesWindow::accept() {
    model_.SetText(text_->toPlainText().toStdString());
    model_.OnOk();
    QDialog::accept();
}

// ---- Calibration Setting --------------------------------------------------------------------

CalibrationSettingWindow::CalibrationSettingWindow(CalibrationSettingDialog& model, std::function<void()> beforeSave,
                                                   QWidget* parent)
    : QDialog(parent), model_(model), beforeSave_(std::move(beforeSave)) {
    setWindowTitle(QString::fromLatin1(kCalibrationDialogTitle));
    setObjectName(QStringLiteral("calibrationDialog"));
    auto* layout = new QVBoxLayout(this);
    const QString groups[] = {QStringLiteral("Input calibration factor"), QStringLiteral("Output calibration factor")};
    for (int group = 0; group < 2; ++group) {
        auto* box = new QGroupBox(groups[group], this);
        auto* grid = new QGridLayout(box);
        grid->addWidget(new QLabel(QStringLiteral("Sampling Resolution"), box), 0, 0);
        grid->addWidget(new QLabel(QStringLiteral("Maximum Voltage"), box), 0, 1);
        const QString resolutions[] = {QStringLiteral("8 Bit"), QStringLiteral("16 Bit")};
        for (int row = 0; row < 2; ++row) {
            const int which = group * 2 + row;
            auto* label = new QLabel(resolutions[row], box);
            auto* edit = new QLineEdit(box);
            edit->setAccessibleName(groups[group] + QStringLiteral(", ") + resolutions[row] + QStringLiteral(", mV"));
            label->setBuddy(edit);
            connect(edit, &QLineEdit::textEdited, this, [this, which](const QString& text) {
                model_.box(static_cast<CalibrationSettingDialog::Box>(which)) = text.toStdString();
            });
            grid->addWidget(label, row + 1, 0);
            grid->addWidget(edit, row + 1, 1);
            grid->addWidget(new QLabel(QStringLiteral("mV"), box), row + 1, 2);
            boxes_[static_cast<std::size_t>(which)] = edit;
        }
        layout->addWidget(box);
    }
    default_ = Button(QStringLiteral("Default"), this);
    save_ = Button(QStringLiteral("Save"), this);
    connect(default_, &QPushButton::clicked, this, [this] {
        model_.OnDefault();
        showModel();
    });
    connect(save_, &QPushButton::clicked, this, [this] {
        if (beforeSave_) beforeSave_();
        model_.OnSave();
    });
    layout->addLayout(ButtonRow(this, {default_, save_}));
    showModel();
}

void CalibrationSettingWindow::showModel() {
    for (int which = 0; which < 4; ++which)
        boxes_[static_cast<std::size_t>(which)]->setText(
            FromUtf8(model_.box(static_cast<CalibrationSettingDialog::Box>(which))));
}

void CalibrationSettingWindow::accept() {
    if (model_.OnOk()) QDialog::accept();
}

// ---- Display Setting ------------------------------------------------------------------------

DisplaySettingWindow::DisplaySettingWindow(DisplaySettingDialog& model, std::function<void()> beforeSave,
                                           QWidget* parent)
    : QDialog(parent), model_(model), beforeSave_(std::move(beforeSave)) {
    setWindowTitle(QString::fromLatin1(kDisplayDialogTitle));
    setObjectName(QStringLiteral("displayDialog"));
    auto* layout = new QVBoxLayout(this);

    auto* colours = new QGridLayout;
    const QString names[] = {QStringLiteral("Background Color"), QStringLiteral("Channel A Color"),
                             QStringLiteral("Channel B Color"), QStringLiteral("Grid Color"),
                             QStringLiteral("Other Text Color")};
    for (int which = 0; which < 5; ++which) {
        auto* label = new QLabel(names[which], this);
        auto* swatch = Button(QString(), this);
        swatch->setIconSize(QSize(40, 16));
        swatch->setAccessibleName(names[which]);
        swatch->setToolTip(names[which]);
        label->setBuddy(swatch);
        connect(swatch, &QPushButton::clicked, this, [this, which] {
            if (model_.OnSwatch(static_cast<DisplaySettingDialog::Colour>(which)))
                swatches_[static_cast<std::size_t>(which)]->setIcon(Swatch(model_.colours[static_cast<std::size_t>(which)]));
        });
        colours->addWidget(label, which, 0);
        colours->addWidget(swatch, which, 1);
        swatches_[static_cast<std::size_t>(which)] = swatch;
    }
    layout->addLayout(colours);

    allPoints_ = new QRadioButton(QStringLiteral("Display all data points"), this);
    onePoint_ = new QRadioButton(QStringLiteral("Display one data point per vertical raster line"), this);
    layout->addWidget(allPoints_);
    layout->addWidget(onePoint_);
    const QString switches[] = {
        QStringLiteral("Invert input signal before performing any processing"),
        QStringLiteral("Remove DC component in spectrum"),
        QStringLiteral("Enable Record Length change via \"Point\" in Sampling Parameter Toolbar"),
        QStringLiteral("Auto-run oscilloscope at startup")};
    for (int which = 0; which < 4; ++which) {
        checks_[static_cast<std::size_t>(which)] = new QCheckBox(switches[which], this);
        layout->addWidget(checks_[static_cast<std::size_t>(which)]);
    }
    showMeasurements_ = new QCheckBox(QString::fromLatin1(kShowMeasurementsLabel), this);
    showMeasurements_->setToolTip(QStringLiteral(
        "Frequency, level, THD, THD+N and SINAD of each channel's tone in the spectrum view, "
        "the frequency in the oscilloscope's measurement line"));
    layout->addWidget(showMeasurements_);
    auto* clockRow = new QHBoxLayout;
    auto* clockLabel = new QLabel(QString::fromLatin1(kClockCorrectionLabel), this);
    clockPpm_ = new QLineEdit(this);
    clockPpm_->setObjectName(QStringLiteral("clockPpm"));
    clockPpm_->setToolTip(QString::fromLatin1(kClockCorrectionHelp));
    clockLabel->setToolTip(clockPpm_->toolTip());
    clockLabel->setBuddy(clockPpm_);
    clockRow->addWidget(clockLabel);
    clockRow->addWidget(clockPpm_);
    layout->addLayout(clockRow);

    default_ = Button(QStringLiteral("Default"), this);
    save_ = Button(QStringLiteral("Save"), this);
    connect(default_, &QPushButton::clicked, this, [this] {
        model_.OnDefault();
        showModel();
    });
    connect(save_, &QPushButton::clicked, this, [this] {
        takeControls();
        if (beforeSave_) beforeSave_();
        if (!model_.OnSave()) clockPpm_->setFocus();
    });
    layout->addLayout(ButtonRow(this, {default_, save_}));
    showModel();
}

void DisplaySettingWindow::showModel() {
    for (std::size_t which = 0; which < swatches_.size(); ++which) swatches_[which]->setIcon(Swatch(model_.colours[which]));
    allPoints_->setChecked(model_.onePointPerRaster == 0);
    onePoint_->setChecked(model_.onePointPerRaster != 0);
    checks_[0]->setChecked(model_.invertInput);
    checks_[1]->setChecked(model_.removeDcInSpectrum);
    checks_[2]->setChecked(model_.enablePointEdit);
    checks_[3]->setChecked(model_.autoRunAtStartup);
    showMeasurements_->setChecked(model_.showMeasurements);
    clockPpm_->setText(FromUtf8(model_.clockPpm));
}

void DisplaySettingWindow::takeControls() {
    model_.onePointPerRaster = onePoint_->isChecked() ? 1 : 0;
    model_.invertInput = checks_[0]->isChecked();
    model_.removeDcInSpectrum = checks_[1]->isChecked();
    model_.enablePointEdit = checks_[2]->isChecked();
    model_.autoRunAtStartup = checks_[3]->isChecked();
    model_.showMeasurements = showMeasurements_->isChecked();
    model_.clockPpm = clockPpm_->text().toStdString();
}

void DisplaySettingWindow::accept() {
    takeControls();
    if (!model_.OnOk()) {
        clockPpm_->setFocus();
        return;
    }
    QDialog::accept();
}

}  // namespace tonewell
