#pragma once
// The oscilloscope's window: a thin skin over CScopeView. It draws the view into a QImage back
// buffer through the Qt canvas and copies that to the screen in one step (no background erase,
// no flicker), carries the time bar at its bottom and the A and B bars where the view's layout
// puts them, and hands taps (cursor 2 with Caps Lock on or Shift held), scrolling and resizing to
// the view. It repaints whenever the view asks. UI thread; the view must outlive the widget.

#include <QImage>
#include <QWidget>

class QScrollBar;

namespace tonewell {

class CScopeView;
class ScrollBarControl;

// What the widget says about taps, for its help text.
inline constexpr const char* kScopeTapHelp =
    "Tap the plot to place cursor 1; with Caps Lock on, or with Shift held, the tap places cursor 2. "
    "Tap above the plot to switch between Mean/RMS and Max/Min, above its left or right corner to "
    "measure channel A or B, and anywhere else outside it to clear the cursors.";

class ScopeViewWidget : public QWidget {
    Q_OBJECT
public:
    explicit ScopeViewWidget(CScopeView& view, QWidget* parent = nullptr);
    ~ScopeViewWidget() override;

    // The picture of the last paint.
    const QImage& backBuffer() const { return backBuffer_; }
    // The part of the widget the view draws on: all of it less the time bar while it shows.
    QSize clientSize() const;

    QScrollBar* timeBar() const { return timeBar_; }
    QScrollBar* barA() const { return barA_; }
    QScrollBar* barB() const { return barB_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QScrollBar* makeBar(ScrollBarControl& model, Qt::Orientation orientation, const QString& name);
    void showModel(QScrollBar* bar, const ScrollBarControl& model);

    CScopeView& view_;
    QImage backBuffer_;
    QScrollBar* timeBar_ = nullptr;
    QScrollBar* barA_ = nullptr;
    QScrollBar* barB_ = nullptr;
};

}  // namespace tonewell
