#pragma once
// The splash box: a borderless window with the program's picture, shown while the main window
// is hidden. It closes when its time is up or, earlier, at a click or a key, and then says so
// once.

#include <QPixmap>
#include <QTimer>
#include <QWidget>

namespace tonewell {

inline constexpr int kSplashMilliseconds = 5000;

class SplashWindow : public QWidget {
    Q_OBJECT
public:
    explicit SplashWindow(const QPixmap& picture, QWidget* parent = nullptr);

    // Shows the box centred on the screen and starts its time.
    void start(int milliseconds = kSplashMilliseconds);
    // Closes the box now (the time is up, or the user dismissed it).
    void finish();
    // Closes the box without saying so (the program ends before its time is up).
    void dismiss();
    bool finished() const { return finished_; }

signals:
    void closed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // Closed by the window manager: the same as a click.
    void closeEvent(QCloseEvent* event) override;

private:
    QPixmap picture_;
    QTimer timer_;
    bool finished_ = false;
};

}  // namespace tonewell
