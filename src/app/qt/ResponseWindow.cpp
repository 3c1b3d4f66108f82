#include "app/qt/ResponseWindow.h"

#include "platform/qt/CanvasPicture.h"
#include "platform/qt/QtCanvas.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <initializer_list>
#include <utility>

namespace tonewell {

namespace {

// A field of the form with its screen-reader name, description and tip.
QLineEdit* Field(const QString& text, const QString& name, const QString& description, QWidget* parent) {
    auto* edit = new QLineEdit(text, parent);
    edit->setAccessibleName(name);
    edit->setAccessibleDescription(description);
    edit->setToolTip(description);
    return edit;
}

void Describe(QWidget* widget, const QString& name, const QString& description) {
    widget->setAccessibleName(name);
    widget->setAccessibleDescription(description);
    widget->setToolTip(description);
}

QString Text(const std::string& text) { return QString::fromStdString(text); }

// The picture export's size, as the command-line tool draws it.
constexpr QSize kPictureSize{960, 600};

}  // namespace

ResponsePlotWidget::ResponsePlotWidget(ResponseWindowModel& model, QWidget* parent) : QWidget(parent), model_(model) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(480, 320);
    setFocusPolicy(Qt::ClickFocus);
}

void ResponsePlotWidget::paintEvent(QPaintEvent*) {
    if (backBuffer_.size() != size()) backBuffer_ = QImage(size(), QImage::Format_RGB32);
    {
        QtCanvas canvas(backBuffer_, font());
        model_.draw(canvas);
    }
    QPainter painter(this);
    painter.drawImage(0, 0, backBuffer_);
}

void ResponsePlotWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    const QPoint at = event->position().toPoint();
    if (model_.placeCursor(at.x(), at.y())) {
        update();
        emit cursorMoved();
    }
}

ResponseWindow::ResponseWindow(AudioBackend& backend, std::function<bool()> devicesBusy, QWidget* parent)
    : QWidget(parent, Qt::Window), model_(backend, std::move(devicesBusy)) {
    setObjectName(QStringLiteral("responseWindow"));
    setWindowTitle(QStringLiteral("Frequency Response"));
    setAccessibleName(QStringLiteral("Frequency Response"));

    const ResponseWindowFields& fields = model_.fields;
    from_ = Field(Text(fields.fromHz), QStringLiteral("From (Hz)"),
                  QStringLiteral("Frequency the sweep starts at, in hertz"), this);
    to_ = Field(Text(fields.toHz), QStringLiteral("To (Hz)"), QStringLiteral("Frequency the sweep ends at, in hertz"), this);
    seconds_ = Field(Text(fields.seconds), QStringLiteral("Seconds"), QStringLiteral("Length of the sweep: 1 to %1 seconds").arg(kResponseWindowLongestSweep),
                     this);
    level_ = Field(Text(fields.levelDbfs), QStringLiteral("Level (dBFS)"),
                   QStringLiteral("Peak level of the sweep: -60 to 0 dB below full scale"), this);
    input_ = new QComboBox(this);
    input_->addItems({QStringLiteral("A"), QStringLiteral("B")});
    Describe(input_, QStringLiteral("Input channel"), QStringLiteral("The input channel that records the system's answer"));
    using Named = std::pair<QWidget*, const char*>;
    for (const auto& [widget, objectName] : std::initializer_list<Named>{
             {from_, "from"}, {to_, "to"}, {seconds_, "seconds"}, {level_, "level"}, {input_, "input"}})
        widget->setObjectName(QString::fromLatin1(objectName));

    run_ = new QPushButton(QStringLiteral("&Run"), this);
    run_->setObjectName(QStringLiteral("run"));
    Describe(run_, QStringLiteral("Run"), QStringLiteral("Play the sweep on the output and record the answer"));
    cancel_ = new QPushButton(QStringLiteral("&Cancel"), this);
    cancel_->setObjectName(QStringLiteral("cancel"));
    Describe(cancel_, QStringLiteral("Cancel"), QStringLiteral("Stop the measurement; the last one stays"));
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("progress"));
    progress_->setRange(0, 1000);
    progress_->setTextVisible(false);
    Describe(progress_, QStringLiteral("Progress"), QStringLiteral("How much of the sweep has been recorded"));

    plot_ = new ResponsePlotWidget(model_, this);
    plot_->setObjectName(QStringLiteral("plot"));
    Describe(plot_, QStringLiteral("Response plot"),
             QStringLiteral("Magnitude in dB above phase in degrees over frequency; click to read a frequency"));
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("status"));
    status_->setWordWrap(true);
    Describe(status_, QStringLiteral("Measurement status"), QStringLiteral("What the measurement does or how it ended"));
    readout_ = new QLabel(this);
    readout_->setObjectName(QStringLiteral("readout"));
    readout_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Describe(readout_, QStringLiteral("Cursor readout"), QStringLiteral("Frequency, magnitude and phase at the cursor"));
    latency_ = new QLabel(this);
    latency_->setObjectName(QStringLiteral("latency"));
    latency_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Describe(latency_, QStringLiteral("Latency"), QStringLiteral("Time the sweep took from the output back to the input"));
    exportText_ = new QPushButton(QStringLiteral("Export &Text..."), this);
    exportText_->setObjectName(QStringLiteral("exportText"));
    Describe(exportText_, QStringLiteral("Export Text"),
             QStringLiteral("Save frequency, magnitude and phase as a text table"));
    exportPicture_ = new QPushButton(QStringLiteral("Export &PNG..."), this);
    exportPicture_->setObjectName(QStringLiteral("exportPicture"));
    Describe(exportPicture_, QStringLiteral("Export PNG"), QStringLiteral("Save the plot as a PNG picture"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&From (Hz)"), from_);
    form->addRow(QStringLiteral("T&o (Hz)"), to_);
    form->addRow(QStringLiteral("&Seconds"), seconds_);
    form->addRow(QStringLiteral("&Level (dBFS)"), level_);
    form->addRow(QStringLiteral("&Input channel"), input_);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(run_);
    buttons->addWidget(cancel_);
    auto* settings = new QVBoxLayout;
    settings->addLayout(form);
    settings->addLayout(buttons);
    settings->addWidget(progress_);
    settings->addWidget(status_);
    settings->addStretch(1);
    settings->addWidget(latency_);
    settings->addWidget(readout_);
    settings->addWidget(exportText_);
    settings->addWidget(exportPicture_);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(settings, 0);
    layout->addWidget(plot_, 1);
    resize(1000, 560);

    connect(run_, &QPushButton::clicked, this, &ResponseWindow::run);
    connect(cancel_, &QPushButton::clicked, this, [this] { model_.cancel(); });
    connect(exportText_, &QPushButton::clicked, this, &ResponseWindow::exportText);
    connect(exportPicture_, &QPushButton::clicked, this, &ResponseWindow::exportPicture);
    connect(plot_, &ResponsePlotWidget::cursorMoved, this, &ResponseWindow::showState);
    pollTimer_.setInterval(50);
    connect(&pollTimer_, &QTimer::timeout, this, &ResponseWindow::poll);
    showState();
}

ResponseWindow::~ResponseWindow() = default;

void ResponseWindow::closeEvent(QCloseEvent* event) {
    model_.cancel();
    QWidget::closeEvent(event);
}

void ResponseWindow::run() {
    ResponseWindowFields& fields = model_.fields;
    fields.fromHz = from_->text().toStdString();
    fields.toHz = to_->text().toStdString();
    fields.seconds = seconds_->text().toStdString();
    fields.levelDbfs = level_->text().toStdString();
    fields.inputChannel = input_->currentIndex();
    if (model_.run()) pollTimer_.start();
    showState();
}

void ResponseWindow::poll() {
    if (model_.poll()) {
        pollTimer_.stop();
        plot_->update();
    }
    showState();
}

void ResponseWindow::exportText() {
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Export Text"), QStringLiteral("response.txt"),
                                                      QStringLiteral("Text files (*.txt);;All files (*)"));
    if (path.isEmpty()) return;
    model_.exportText(path.toStdString());
    showState();
}

void ResponseWindow::exportPicture() {
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Export PNG"), QStringLiteral("response.png"),
                                                      QStringLiteral("PNG pictures (*.png);;All files (*)"));
    if (path.isEmpty()) return;
    const bool written = model_.response() != nullptr &&
                         WriteCanvasPicture(path.toStdString(), kPictureSize, [this](Canvas& c) { model_.drawPicture(c); });
    model_.exportFinished(path.toStdString(), written);
    showState();
}

void ResponseWindow::showState() {
    const bool running = model_.running();
    const bool measured = model_.response() != nullptr;
    for (QWidget* setting : std::initializer_list<QWidget*>{from_, to_, seconds_, level_, input_})
        setting->setEnabled(!running);
    run_->setEnabled(!running);
    cancel_->setEnabled(running);
    exportText_->setEnabled(measured);
    exportPicture_->setEnabled(measured);
    progress_->setValue(static_cast<int>(model_.progress() * 1000.0 + 0.5));
    status_->setText(Text(model_.status()));
    latency_->setText(Text(model_.latencyText()));
    const std::string cursor = model_.cursorText();
    readout_->setText(cursor.empty() ? (measured ? QStringLiteral("Click the plot to read a frequency") : QString())
                                     : Text(cursor));
}

}  // namespace tonewell
