#pragma once
// What the oscilloscope and the spectrum view share as plotting views: the frame of three scroll
// bars, the trace point buffers, the two cursors and the channel taps set them on, the repaint
// request, and the drawing pass that prepares the picture (layout, points, cursor pixels) and
// then draws it without changing anything. UI thread only.

#include <atomic>
#include <cstdint>
#include <functional>

#include "platform/Canvas.h"
#include "platform/Shell.h"
#include "plot/PlotCursor.h"
#include "plot/PlotFrame.h"
#include "plot/PointBuffers.h"

namespace tonewell {

class PlotView {
public:
    // The ids of the A and B bars; the count of records the view has still to draw; the shell
    // its messages go to.
    PlotView(int barAId, int barBId, std::atomic<std::int32_t>& pendingDraws, Shell& shell);
    virtual ~PlotView() = default;
    PlotView(const PlotView&) = delete;
    PlotView& operator=(const PlotView&) = delete;

    // Called whenever the view wants to be painted again (the widget schedules a paint).
    void setRepaintHandler(std::function<void()> handler) { repaintHandler_ = std::move(handler); }
    // Asks for a paint (record arrived, settings changed, a tap...).
    void invalidate();
    // The window changed size: the next draw lays out again.
    void OnSize() { invalidate(); }
    // The window's drawing pass: nothing while the view may not draw (its pane hidden); else the
    // picture on a canvas the size of the client area, and one pending record counted down.
    void OnDraw(Canvas& canvas);
    // The whole picture, laid out for the canvas's size; pictures for files use it directly.
    void drawPicture(Canvas& canvas);
    // A tap at (x, y); secondCursor chooses cursor 2 (the Caps Lock toggle, or Shift).
    virtual void OnLButtonDown(std::int32_t x, std::int32_t y, bool secondCursor) = 0;
    // Whether a double tap is the view's own gesture; otherwise it is a second tap.
    virtual bool takesDoubleTaps() const { return false; }
    // A double tap at (x, y), for a view that takes them.
    virtual void OnLButtonDblClk(std::int32_t x, std::int32_t y);

    // The horizontal bar and the A and B bars with the layout of the last draw.
    PlotFrame& frame() { return frame_; }
    const PlotFrame& frame() const { return frame_; }
    // The trace points of the last draw (A, B).
    PointBuffers& points() { return points_; }
    const PointBuffers& points() const { return points_; }
    const PlotCursors& cursors() const { return cursors_; }
    void clearCursors() { ClearCursors(cursors_); }

protected:
    // False when this drawing pass draws nothing.
    virtual bool mayDraw() = 0;
    virtual void prepare(const Canvas& canvas) = 0;
    virtual void draw(Canvas& canvas) const = 0;

    // Back to a new record's start: no pending draw, the point buffers at their minimum, the
    // bars at their start; false (after reporting exhausted memory) when the buffers could not
    // be had.
    bool resetPicture();
    // A tap on the plot for the channel taps are on (cursorChannel_): the cursor takes the
    // pixel and channel, and is returned for its values; null when that channel is refused.
    PlotCursor* placeCursor(bool secondCursor, std::int32_t x, std::int32_t y, bool refusedA, bool refusedB);
    const PlotRect& plot() const { return frame_.plotRect(); }
    // The A and B point traces in their channels' colours, clipped to the plot.
    void drawPointTraces(Canvas& canvas, const PlotColours& colours) const;

    // Room in the point buffers for the points a pass wants (at least 2). Out of memory, the
    // message shows and onePointPerRaster becomes 1 so that the pass is tried again one point
    // per column (Retry); buffers that are lost are reported and nothing is drawn (None).
    enum class PointRoom { Ready, Retry, None };
    PointRoom roomForPoints(double wanted, std::uint16_t& onePointPerRaster);

    PlotFrame frame_;
    PointBuffers points_;
    PlotCursors cursors_{};
    int cursorChannel_ = 0;  // 0: taps set cursors on A, 1: on B
    TextExtent character_{8, 16};
    Shell& shell_;

private:
    std::atomic<std::int32_t>& pendingDraws_;
    std::function<void()> repaintHandler_;
};

}  // namespace tonewell
