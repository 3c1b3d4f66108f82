#pragma once
// The window of a plotting view (oscilloscope, spectrum analyser): it draws the view into a
// QImage back buffer through the Qt canvas and copies that to the screen in one step (no
// background erase, no flicker), carries the view's horizontal bar at its bottom and the A and B
// bars where the view's layout puts them, and hands taps (cursor 2 with Caps Lock on or Shift
// held), scrolling and resizing to the view. UI thread; the view and its bars must outlive the
// widget.

#include <QImage>
#include <QWidget>

#include <functional>

class QScrollBar;

namespace tonewell {

class Canvas;
class PlotFrame;
class ScrollBarControl;

class PlotPaneWidget : public QWidget {
    Q_OBJECT
public:
    // The view's frame with its scroll bars, and the names the screen reader says for them.
    struct Bars {
        PlotFrame& frame;
        QString horizontalName;
        QString aName;
        QString bName;
    };
    // What the widget asks of its view.
    struct View {
        std::function<void(Canvas&)> draw;                          // the window's drawing pass
        std::function<void()> resized;                              // the drawing area changed size
        std::function<void(int x, int y, bool secondCursor)> tap;  // a left-button press
    };

    PlotPaneWidget(const Bars& bars, View view, QWidget* parent);
    ~PlotPaneWidget() override;

    // The picture of the last paint.
    const QImage& backBuffer() const { return backBuffer_; }
    // The part of the widget the view draws on: all of it less the horizontal bar while it shows.
    QSize clientSize() const;

    QScrollBar* barA() const { return barA_; }
    QScrollBar* barB() const { return barB_; }

protected:
    QScrollBar* horizontalBar() const { return horizontalBar_; }

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QScrollBar* makeBar(ScrollBarControl& model, Qt::Orientation orientation, const QString& name);
    void showModel(QScrollBar* bar, const ScrollBarControl& model);

    ScrollBarControl& horizontalModel_;
    ScrollBarControl& modelA_;
    ScrollBarControl& modelB_;
    View view_;
    QImage backBuffer_;
    QScrollBar* horizontalBar_ = nullptr;
    QScrollBar* barA_ = nullptr;
    QScrollBar* barB_ = nullptr;
};

}  // namespace tonewell
