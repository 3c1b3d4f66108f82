#pragma once
// The window of a plotting view (oscilloscope, spectrum analyser): it draws the view into a
// QImage back buffer through the Qt canvas and copies that to the screen in one step (no
// background erase, no flicker), carries the view's horizontal bar at its bottom and the A and B
// bars where the view's layout puts them, hands taps (cursor 2 with Caps Lock on or Shift held),
// double taps, scrolling and resizing to the view, and repaints whenever the view asks. UI
// thread; the view must outlive the widget.

#include <QImage>
#include <QWidget>

class QScrollBar;

namespace tonewell {

class PlotView;
class ScrollBarControl;

class PlotPaneWidget : public QWidget {
    Q_OBJECT
public:
    // What the screen reader says for the pane and its scroll bars; the help on taps.
    struct Names {
        QString objectName;
        QString name;
        const char* tapHelp;
        QString horizontalBar;
        QString barA;
        QString barB;
    };

    PlotPaneWidget(PlotView& view, const Names& names, QWidget* parent);
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
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QScrollBar* makeBar(ScrollBarControl& model, Qt::Orientation orientation, const QString& name);
    void showModel(QScrollBar* bar, const ScrollBarControl& model);

    ScrollBarControl& horizontalModel_;
    ScrollBarControl& modelA_;
    ScrollBarControl& modelB_;
    PlotView& view_;
    QImage backBuffer_;
    QScrollBar* horizontalBar_ = nullptr;
    QScrollBar* barA_ = nullptr;
    QScrollBar* barB_ = nullptr;
};

}  // namespace tonewell
