#include "plot/PlotView.h"

#include <algorithm>
#include <string_view>

#include "platform/ReportOutOfMemory.h"

namespace tonewell {

PlotView::PlotView(int barAId, int barBId, std::atomic<std::int32_t>& pendingDraws, Shell& shell)
    : frame_(barAId, barBId), shell_(shell), pendingDraws_(pendingDraws) {
    frame_.setHandlers([this] { invalidate(); }, [this](std::string_view message) { shell_.showMessage(message); });
}

void PlotView::invalidate() {
    if (repaintHandler_) repaintHandler_();
}

void PlotView::OnDraw(Canvas& canvas) {
    if (!mayDraw()) return;
    drawPicture(canvas);
    std::int32_t pending = pendingDraws_.load();
    while (pending > 0 && !pendingDraws_.compare_exchange_weak(pending, pending - 1)) {
    }
}

void PlotView::drawPicture(Canvas& canvas) {
    prepare(canvas);
    draw(canvas);
}

void PlotView::OnLButtonDblClk(std::int32_t, std::int32_t) {}

bool PlotView::resetPicture() {
    pendingDraws_ = 0;
    if (!points_.reallocate(PointBuffers::kCapacityMin)) {
        ReportOutOfMemory(shell_);
        return false;
    }
    frame_.resetScroll();
    return true;
}

void PlotView::drawPointTraces(Canvas& canvas, const PlotColours& colours) const {
    canvas.setClip(plot().frame());
    canvas.setPen(colours.channelA);
    canvas.drawPolyline(points_.points(0));
    canvas.setPen(colours.channelB);
    canvas.drawPolyline(points_.points(1));
    canvas.clearClip();
}

PlotView::PointRoom PlotView::roomForPoints(double wanted, std::uint16_t& onePointPerRaster) {
    const PointBuffers::Fit fit = points_.fit(static_cast<std::size_t>(std::max(wanted, 2.0)));
    if (fit == PointBuffers::Fit::Exhausted || fit == PointBuffers::Fit::ExhaustedAndLost) {
        shell_.showMessage(kOutOfMemoryMessage);
        onePointPerRaster = 1;
    }
    if (fit == PointBuffers::Fit::Lost || fit == PointBuffers::Fit::ExhaustedAndLost) {
        ReportOutOfMemory(shell_);
        return PointRoom::None;
    }
    return fit == PointBuffers::Fit::Exhausted ? PointRoom::Retry : PointRoom::Ready;
}

PlotCursor* PlotView::placeCursor(bool secondCursor, std::int32_t x, std::int32_t y, bool refusedA, bool refusedB) {
    const bool onA = cursorChannel_ == 0;
    if (onA ? refusedA : refusedB) return nullptr;
    PlotCursor& cursor = cursors_[secondCursor ? 1 : 0];
    cursor.x = x;
    cursor.y = y;
    cursor.channel = onA ? CursorChannel::A : CursorChannel::B;
    return &cursor;
}

}  // namespace tonewell
