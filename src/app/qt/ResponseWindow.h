#pragma once
// The "Frequency Response" window: the sweep's settings, Run and Cancel with a progress bar,
// the plot (magnitude over phase on a logarithmic frequency axis) with its cursor readout, the
// latency, and the exports. It stays open beside the main window and polls the measurement, so
// the program goes on while the sweep plays. The model decides; this shows it. UI thread.

#include "app/ResponseWindowModel.h"

#include <QImage>
#include <QTimer>
#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace tonewell {

// The plot, drawn by the model through the Qt canvas into a back buffer; a tap places the cursor.
class ResponsePlotWidget : public QWidget {
    Q_OBJECT
public:
    ResponsePlotWidget(ResponseWindowModel& model, QWidget* parent);
    const QImage& backBuffer() const { return backBuffer_; }

signals:
    void cursorMoved();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    ResponseWindowModel& model_;
    QImage backBuffer_;
};

class ResponseWindow : public QWidget {
    Q_OBJECT
public:
    // The backend must outlive the window; devicesBusy as for the model.
    ResponseWindow(AudioBackend& backend, std::function<bool()> devicesBusy, QWidget* parent);
    ~ResponseWindow() override;

    ResponseWindowModel& model() { return model_; }
    ResponsePlotWidget* plot() const { return plot_; }

protected:
    // Closing cancels a measurement: nobody would see it end.
    void closeEvent(QCloseEvent* event) override;

private:
    void run();
    void poll();
    void exportText();
    void exportPicture();
    // The labels, the progress and the buttons' enabling follow the model.
    void showState();

    ResponseWindowModel model_;
    QLineEdit* from_ = nullptr;
    QLineEdit* to_ = nullptr;
    QLineEdit* seconds_ = nullptr;
    QLineEdit* level_ = nullptr;
    QComboBox* input_ = nullptr;
    QPushButton* run_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QProgressBar* progress_ = nullptr;
    ResponsePlotWidget* plot_ = nullptr;
    QLabel* status_ = nullptr;
    QLabel* readout_ = nullptr;
    QLabel* latency_ = nullptr;
    QPushButton* exportText_ = nullptr;
    QPushButton* exportPicture_ = nullptr;
    QTimer pollTimer_;
};

}  // namespace tonewell
