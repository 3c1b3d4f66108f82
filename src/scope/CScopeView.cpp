#include "scope/CScopeView.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <new>
#include <string>

#include "platform/ReportOutOfMemory.h"
#include "shared/AxisLabels.h"
#include "shared/DocumentNumbers.h"
#include "shared/NumberFormat.h"
#include "shared/ScrollScaling.h"

namespace tonewell {

namespace {

// Far enough outside any window that a line towards it keeps its direction inside the plot, and
// small enough for every drawing surface's fixed-point coordinates.
constexpr double kPixelLimit = 16777216.0;

// Truncation toward zero into that band; NaN lands on its lower end.
std::int32_t TruncatePixel(double value) {
    return static_cast<std::int32_t>(std::min(kPixelLimit, std::max(-kPixelLimit, value)));
}

Colour Complement(Colour colour) {
    return MakeColour(static_cast<std::uint8_t>(255 - RedOf(colour)), static_cast<std::uint8_t>(255 - GreenOf(colour)),
                      static_cast<std::uint8_t>(255 - BlueOf(colour)));
}

// Multiplier values count "Off" (0) as 1 where they scale.
double EffectiveMultiplier(std::uint32_t multiplier) { return multiplier == 0 ? 1.0 : multiplier; }

std::string VoltsText(float value) {
    char text[64];
    std::snprintf(text, sizeof text, "%12.3fV", static_cast<double>(value));
    std::string result(text);
    return result.substr(std::min(result.find_first_not_of(' '), result.size()));
}

enum class Align { Left, Centre, Right };

void DrawAligned(Canvas& canvas, std::int32_t x, std::int32_t y, const std::string& text, Align align) {
    const std::int32_t width = canvas.textExtent(text).width;
    if (align == Align::Centre) x -= width / 2;
    if (align == Align::Right) x -= width;
    canvas.drawText({x, y}, text);
}

}  // namespace

struct CScopeView::Colours {
    Colour background, channelA, channelB, grid, otherText, cursorA, cursorB;
};

CScopeView::CScopeView(const ScopeViewParts& parts) : parts_(parts) {
    hScrollBar.setScrollHandler([this](ScrollBarControl::Action action, int position) {
        // Scroll messages carry the thumb in 16 bits; the view rebuilds the full position.
        OnHScroll(action, static_cast<std::int16_t>(position));
    });
    scrollBarA.setScrollHandler(
        [this](ScrollBarControl::Action action, int position) { OnVScroll(action, position, scrollBarA); });
    scrollBarB.setScrollHandler(
        [this](ScrollBarControl::Action action, int position) { OnVScroll(action, position, scrollBarB); });
    scrollBarA.setVisible(false);
    scrollBarB.setVisible(false);
    hScrollBar.setVisible(false);
    // The selectors as they stand, until the first update.
    ReadSelectors();
    syncScrollBars();
}

// ---- record facts ---------------------------------------------------------------------------

std::uint32_t CScopeView::sampleCount() const {
    const CSignalDoc& doc = parts_.document;
    const std::size_t held = std::min(doc.dataA.size(), doc.dataB.size());
    return static_cast<std::uint32_t>(std::min<std::size_t>(doc.sampleCount, held));
}

bool CScopeView::recordHasA() const {
    return parts_.document.samplingType == kSamplingTypeA || parts_.document.samplingType == kSamplingTypeAB;
}

bool CScopeView::recordHasB() const {
    return parts_.document.samplingType == kSamplingTypeB || parts_.document.samplingType == kSamplingTypeAB;
}

double CScopeView::sampleInterval() const { return parts_.document.intervalSeconds(); }

// ---- selectors ------------------------------------------------------------------------------

void CScopeView::ReadSelectors() {
    const RangeTables& tables = parts_.tables;
    ScopeBars& bars = parts_.bars;
    // A selector with nothing selected keeps the value the view had.
    if (auto value = tables[RangeTableId::ScopeTimeMultiplier].value(bars.timeMultiplier.selection()))
        xMultiplier_ = static_cast<std::uint32_t>(std::max(*value, 1));
    if (auto value = tables[RangeTableId::ScopeMultiplierA].value(bars.multiplierA.selection()))
        aMultiplier_ = static_cast<std::uint32_t>(std::max(*value, 0));
    if (auto value = tables[RangeTableId::ScopeMultiplierB].value(bars.multiplierB.selection()))
        bMultiplier_ = static_cast<std::uint32_t>(std::max(*value, 0));
    if (auto code = tables[RangeTableId::ScopeTimeRange].code(bars.timeRange.selection()))
        if (!code->isOff()) xRange_ = *code;
    if (auto code = tables[RangeTableId::ScopeRangeA].code(bars.rangeA.selection())) aRange_ = *code;
    if (auto code = tables[RangeTableId::ScopeRangeB].code(bars.rangeB.selection())) bRange_ = *code;
    if (bars.type.selection() >= 0 && bars.type.selection() <= kScopeTypeXY) setScopeType(bars.type.selection());
}

void CScopeView::ApplyRanges() {
    ReadSelectors();
    const ScrollRange time = RescaleTimeScroll({hScrollPos_, hScrollMax_}, static_cast<int>(xMultiplier_));
    hScrollPos_ = time.position;
    hScrollMax_ = time.maximum;
    const ScrollRange a = RescaleValueScroll({aScrollPos_, aScrollMax_}, static_cast<int>(aMultiplier_));
    aScrollPos_ = a.position;
    aScrollMax_ = a.maximum;
    const ScrollRange b = RescaleValueScroll({bScrollPos_, bScrollMax_}, static_cast<int>(bMultiplier_));
    bScrollPos_ = b.position;
    bScrollMax_ = b.maximum;
    syncScrollBars();
    for (ScopeCursor& cursor : cursors_) {
        if ((cursor.channel == CursorChannel::A && aRange_.isOff()) ||
            (cursor.channel == CursorChannel::B && bRange_.isOff()))
            cursor.clear();
    }
    parts_.redraw.scopeRelayout = true;
    repaint();
}

void CScopeView::OnTypeChanged() {
    ScopeBars& bars = parts_.bars;
    const int newType = bars.type.selection();
    if (newType < 0 || newType > kScopeTypeXY || newType == scopeType_) return;
    const int oldType = scopeType_;
    parts_.document.ComputeStatistics(newType);
    if (newType == kScopeTypeSeparate) {
        if (oldType == kScopeTypeSum || oldType == kScopeTypeDifference) {
            bars.rangeB.setSelection(bars.rangeA.selection());
            bars.multiplierB.setSelection(bars.multiplierA.selection());
            bRange_ = aRange_;
            bMultiplier_ = aMultiplier_;
        }
    } else if (newType == kScopeTypeSum || newType == kScopeTypeDifference) {
        bars.rangeB.setSelection(0);
        bars.multiplierB.setSelection(0);
        bRange_ = RangeCode();
        bMultiplier_ = 0;
    } else {
        bars.multiplierA.setSelection(0);
        bars.multiplierB.setSelection(0);
        const CSignalDoc& doc = parts_.document;
        if (aRange_.isOff()) aRange_ = autoRangeCode(recordHasA(), doc.rangeA(), bars.rangeA);
        if (bRange_.isOff()) bRange_ = autoRangeCode(recordHasB(), doc.rangeB(), bars.rangeB);
        bars.timeMultiplier.setSelection(0);
        xMultiplier_ = 1;
    }
    scopeType_ = newType;
    clearCursors();
    parts_.redraw.scopeRelayout = true;
    UpdateSelectorStates();
    ReadSelectors();
    ApplyRanges();
    repaint();
}

void CScopeView::setScopeType(int type) {
    if (type == scopeType_) return;
    // The measurement lines read the document's statistics, which depend on the type (the sum or
    // difference in types 1 and 2): they follow every change of it.
    scopeType_ = type;
    parts_.document.ComputeStatistics(type);
}

void CScopeView::UpdateSelectorStates() {
    ScopeBars& bars = parts_.bars;
    // Enabling a selector that was disabled gives it its twin's row when it stood on "Off".
    const auto enable = [](ListControl& selector, const ListControl& twin) {
        if (selector.enabled()) return;
        selector.setEnabled(true);
        if (selector.selection() == 0) selector.setSelection(twin.selection());
    };
    const auto disable = [](ListControl& selector) {
        selector.setSelection(0);
        selector.setEnabled(false);
    };
    const bool hasA = recordHasA();
    const bool hasB = recordHasB();

    bars.timeRange.setEnabled(!parts_.run.displayInScopeActive.load());
    if (hasA && hasB) {
        bars.type.setEnabled(true);
    } else {
        disable(bars.type);
        setScopeType(kScopeTypeSeparate);
    }
    if (scopeType_ == kScopeTypeXY)
        disable(bars.timeMultiplier);
    else
        bars.timeMultiplier.setEnabled(true);
    if (scopeType_ == kScopeTypeXY || !hasA)
        disable(bars.multiplierA);
    else
        enable(bars.multiplierA, bars.multiplierB);
    if (scopeType_ != kScopeTypeSeparate || !hasB)
        disable(bars.multiplierB);
    else
        enable(bars.multiplierB, bars.multiplierA);
    if (!hasA)
        disable(bars.rangeA);
    else
        enable(bars.rangeA, bars.rangeB);
    if ((scopeType_ == kScopeTypeSeparate || scopeType_ == kScopeTypeXY) && hasB)
        enable(bars.rangeB, bars.rangeA);
    else
        disable(bars.rangeB);
    ReadSelectors();
    ApplyRanges();
}

RangeCode CScopeView::autoRangeCode(bool hasChannel, const VoltageRange& range, ListControl& selector) {
    const RangeTable& table = parts_.tables[RangeTableId::ScopeRangeA];
    if (!hasChannel || table.count < 2) {
        selector.setSelection(0);
        return RangeCode();
    }
    const double fullScale = std::max(std::fabs(static_cast<double>(range.max)), std::fabs(static_cast<double>(range.min))) *
                             std::pow(10.0, static_cast<int>(range.exponent) - 12);
    // A full scale beyond the largest range ("±50v") gets the largest: the trace then leaves the
    // screen only where the signal does.
    int row = table.count - 1;
    for (int candidate = 1; candidate < table.count; ++candidate) {
        // The tolerance keeps a range equal to the full scale from losing to rounding.
        if (table.code(candidate)->value() >= fullScale * (1.0 - 1e-9)) {
            row = candidate;
            break;
        }
    }
    selector.setSelection(row);
    return *table.code(row);
}

void CScopeView::AutoRange() {
    ScopeBars& bars = parts_.bars;
    const CSignalDoc& doc = parts_.document;
    bars.type.setSelection(scopeType_);

    const RangeTable& times = parts_.tables[RangeTableId::ScopeTimeRange];
    const double duration = static_cast<double>(sampleCount()) * sampleInterval();
    int timeRow = times.count - 1;
    for (int row = 0; row < times.count; ++row) {
        const RangeCode code = *times.code(row);
        const double seconds = (code.mantissa() + 0.00001) * std::pow(10.0, 3 * (code.prefixIndex() - 4));
        if (seconds > duration) {
            timeRow = row;
            break;
        }
    }
    bars.timeRange.setSelection(timeRow);
    bars.timeMultiplier.setSelection(0);

    aRangeAuto_ = autoRangeCode(recordHasA(), doc.rangeA(), bars.rangeA);
    bars.multiplierA.setSelection(0);
    bRangeAuto_ = autoRangeCode(recordHasB(), doc.rangeB(), bars.rangeB);
    bars.multiplierB.setSelection(0);
    UpdateSelectorStates();
}

// ---- lifecycle ------------------------------------------------------------------------------

void CScopeView::OnInitialUpdate() {
    scrollBarA.setVisible(false);
    scrollBarB.setVisible(false);
    ReadSelectors();
    parts_.redraw.scopeRelayout = true;
    if (!reallocateTraces(kTraceCapacityMin)) {
        ReportOutOfMemory(parts_.shell);
        return;
    }
    hScrollPos_ = 0;
    aScrollPos_ = bScrollPos_ = 50;
    hScrollMax_ = 10;
    aScrollMax_ = bScrollMax_ = 100;
    syncScrollBars();
    if (parts_.startupStage < 2) {
        ++parts_.startupStage;
        setScopeType(parts_.tables[RangeTableId::ScopeType].defaultIndex);
    } else {
        setScopeType(kScopeTypeSeparate);
        AutoRange();
    }
    ApplyRanges();
    parts_.redraw.scopePendingDraws = 0;
    UpdateSelectorStates();
    ReadSelectors();
}

void CScopeView::OnSize() {
    parts_.redraw.scopeRelayout = true;
    repaint();
}

void CScopeView::invalidate() { repaint(); }

void CScopeView::repaint() {
    if (repaintHandler_) repaintHandler_();
}

void CScopeView::clearCursors() {
    for (ScopeCursor& cursor : cursors_) cursor.clear();
}

// ---- scrolling ------------------------------------------------------------------------------

void CScopeView::syncScrollBars() {
    hScrollBar.setRange(0, hScrollMax_);
    hScrollBar.setPosition(hScrollPos_);
    scrollBarA.setRange(0, aScrollMax_);
    scrollBarA.setPosition(aScrollPos_);
    scrollBarB.setRange(0, bScrollMax_);
    scrollBarB.setPosition(bScrollPos_);
}

void CScopeView::setTimeScroll(std::int32_t position, std::int32_t maximum) {
    hScrollMax_ = maximum;
    hScrollPos_ = std::clamp(position, 0, maximum);
    hScrollBar.setRange(0, hScrollMax_);
    hScrollBar.setPosition(hScrollPos_);
}

void CScopeView::OnHScroll(ScrollBarControl::Action action, std::int16_t trackPosition) {
    using Action = ScrollBarControl::Action;
    std::int32_t position = hScrollPos_;
    switch (action) {
        case Action::LineUp: position -= 10; break;
        case Action::LineDown: position += 10; break;
        case Action::PageUp: position -= hScrollMax_ / 10; break;
        case Action::PageDown: position += hScrollMax_ / 10; break;
        case Action::Top: position = 0; break;
        case Action::Bottom: position = hScrollMax_; break;
        case Action::ThumbTrack: {
            const std::optional<std::int32_t> widened = WidenThumbPosition(hScrollPos_, trackPosition);
            if (!widened) {
                parts_.shell.showMessage(kMultiplierTooLargeMessage);
                return;
            }
            position = *widened;
            break;
        }
        case Action::ThumbPosition:
        case Action::EndScroll: return;
    }
    setTimeScroll(position, hScrollMax_);
    parts_.redraw.scopeRelayout = true;
    repaint();
}

void CScopeView::OnVScroll(ScrollBarControl::Action action, std::int32_t trackPosition, const ScrollBarControl& bar) {
    using Action = ScrollBarControl::Action;
    const bool isA = &bar == &scrollBarA;
    std::int32_t& position = isA ? aScrollPos_ : bScrollPos_;
    const std::int32_t maximum = isA ? aScrollMax_ : bScrollMax_;
    std::int32_t next = position;
    switch (action) {
        case Action::LineUp: next -= 10; break;
        case Action::LineDown: next += 10; break;
        case Action::PageUp: next -= maximum / 10; break;
        case Action::PageDown: next += maximum / 10; break;
        case Action::ThumbTrack: next = trackPosition; break;
        case Action::Top: next = 0; break;
        case Action::Bottom: next = maximum; break;
        case Action::ThumbPosition:
        case Action::EndScroll: return;
    }
    position = std::clamp(next, 0, maximum);
    (isA ? scrollBarA : scrollBarB).setPosition(position);
    parts_.redraw.scopeRelayout = true;
    repaint();
}

// ---- taps -----------------------------------------------------------------------------------

void CScopeView::OnLButtonDown(std::int32_t x, std::int32_t y, bool secondCursor) {
    if (frameHooks_) frameHooks_->showScopeBar1();
    const PlotRect& plot = plotRect_;
    if (y < plot.top && x > plot.left && x < plot.right) {
        showMaxMin_ = !showMaxMin_;
        clearCursors();
    } else if (x < plot.left && y < plot.top) {
        if (!aRange_.isOff()) cursorChannel_ = 0;
    } else if (x > plot.right && y < plot.top) {
        if (!bRange_.isOff() && scopeType_ != kScopeTypeXY) cursorChannel_ = 1;
    } else if (x >= plot.left && x <= plot.right && y >= plot.top && y <= plot.bottom) {
        const bool onA = cursorChannel_ == 0;
        const bool refused = onA ? aRange_.isOff() : (bRange_.isOff() || scopeType_ == kScopeTypeXY);
        if (!refused) {
            ScopeCursor& cursor = cursors_[secondCursor ? 1 : 0];
            cursor.x = x;
            cursor.y = y;
            cursor.channel = onA ? CursorChannel::A : CursorChannel::B;
            cursor.time = PixelToTime(x);
            cursor.value = onA ? PixelToValueA(y) : PixelToValueB(y);
        }
    } else {
        clearCursors();
    }
    parts_.redraw.scopeRelayout = true;
    repaint();
}

// ---- scales ---------------------------------------------------------------------------------

double CScopeView::timeOffsetPixels() const {
    if (hScrollMax_ <= 0) return 0.0;
    return static_cast<double>(hScrollPos_) / hScrollMax_ * (static_cast<double>(xMultiplier_) - 1.0) *
           plotRect_.width();
}

double CScopeView::secondsPerPixel() const {
    return xRange_.value() / static_cast<double>(std::max<std::uint32_t>(xMultiplier_, 1)) / plotRect_.width();
}

double CScopeView::voltsPerPixelA() const {
    const double span = scopeType_ == kScopeTypeXY ? plotRect_.width() : plotRect_.height();
    return 2.0 * aRange_.value() / EffectiveMultiplier(aMultiplier_) / span;
}

double CScopeView::voltsPerPixelB() const {
    return 2.0 * bRange_.value() / EffectiveMultiplier(bMultiplier_) / plotRect_.height();
}

double CScopeView::zeroA() const {
    const double offset = aScrollMax_ > 0 ? static_cast<double>(aScrollPos_ - aScrollMax_ / 2) / aScrollMax_ *
                                                (static_cast<double>(aMultiplier_) + 1.0)
                                          : 0.0;
    if (scopeType_ == kScopeTypeXY) {
        const double w = plotRect_.width();
        return plotRect_.left + w / 2.0 - offset * w;
    }
    const double h = plotRect_.height();
    return plotRect_.top + h / 2.0 - offset * h;
}

double CScopeView::zeroB() const {
    const double offset = bScrollMax_ > 0 ? static_cast<double>(bScrollPos_ - bScrollMax_ / 2) / bScrollMax_ *
                                                (static_cast<double>(bMultiplier_) + 1.0)
                                          : 0.0;
    const double h = plotRect_.height();
    return plotRect_.top + h / 2.0 - offset * h;
}

float CScopeView::PixelToTime(std::int32_t x) const {
    if (scopeType_ == kScopeTypeXY) return static_cast<float>((x - zeroA()) * voltsPerPixelA());
    return static_cast<float>((timeOffsetPixels() + x - plotRect_.left) * secondsPerPixel());
}

std::int32_t CScopeView::TimeToPixel(float t) const {
    if (scopeType_ == kScopeTypeXY) return TruncatePixel(t / voltsPerPixelA() + zeroA() + 0.00001);
    return TruncatePixel(t / secondsPerPixel() + 0.00001 - timeOffsetPixels() + plotRect_.left);
}

float CScopeView::PixelToValueA(std::int32_t y) const {
    // Lissajous: the vertical axis is channel B's.
    if (scopeType_ == kScopeTypeXY) return PixelToValueB(y);
    return static_cast<float>((zeroA() - y) * voltsPerPixelA());
}

float CScopeView::PixelToValueB(std::int32_t y) const { return static_cast<float>((zeroB() - y) * voltsPerPixelB()); }

std::int32_t CScopeView::ValueToPixelA(float v) const {
    if (scopeType_ == kScopeTypeXY) return ValueToPixelB(v);
    return TruncatePixel(zeroA() - v / voltsPerPixelA() + 0.00001);
}

std::int32_t CScopeView::ValueToPixelB(float v) const { return TruncatePixel(zeroB() - v / voltsPerPixelB() + 0.00001); }

CScopeView::ChannelScale CScopeView::codeScale(int channel) const {
    const CSignalDoc& doc = parts_.document;
    const bool isA = channel == 0;
    const RangeCode range = isA ? aRange_ : bRange_;
    const VoltageRange full = isA ? doc.rangeA() : doc.rangeB();
    const int bits = isA ? doc.resolutionA : doc.resolutionB;
    const double multiplier = EffectiveMultiplier(isA ? aMultiplier_ : bMultiplier_);
    const bool horizontal = isA && scopeType_ == kScopeTypeXY;
    const double span = horizontal ? plotRect_.width() : plotRect_.height();
    // Pixels per code: volts per code over volts per pixel, the range spanning -value..+value.
    const double pixelsPerCode = (static_cast<double>(full.max) - full.min) / std::ldexp(1.0, bits) * multiplier *
                                 span / range.mantissa() *
                                 std::pow(10.0, static_cast<int>(full.exponent) - 3 * range.prefixIndex()) / 2.0;
    ChannelScale scale;
    scale.origin = isA ? zeroA() : zeroB();
    // Up the screen for a vertical axis; to the right for Lissajous' A.
    scale.scale = horizontal ? pixelsPerCode : -pixelsPerCode;
    return scale;
}

// ---- layout ---------------------------------------------------------------------------------

void CScopeView::layout(std::int32_t width, std::int32_t height) {
    laidOutWidth_ = width;
    laidOutHeight_ = height;
    if (xMultiplier_ < 2) {
        hScrollBar.setVisible(false);
        setTimeScroll(0, 10);
    } else {
        hScrollBar.setVisible(true);
    }
    clientRect_ = {0, 0, width, height};
    if (aMultiplier_ >= 1 && !aRange_.isOff()) {
        scrollBarA.setGeometry({clientRect_.left, clientRect_.top, kScrollBarWidth - clientRect_.left, height});
        scrollBarA.setVisible(true);
        clientRect_.left += kScrollBarWidth;
    } else {
        scrollBarA.setVisible(false);
    }
    // The B bar follows its multiplier alone.
    if (bMultiplier_ >= 1) {
        scrollBarB.setGeometry({clientRect_.right - kScrollBarWidth, clientRect_.top, kScrollBarWidth, height});
        scrollBarB.setVisible(true);
        clientRect_.right -= kScrollBarWidth;
    } else {
        scrollBarB.setVisible(false);
    }
    plotRect_.left = !aRange_.isOff() ? clientRect_.left + 4 * charWidth_ : clientRect_.left + 3;
    plotRect_.right = (!bRange_.isOff() && scopeType_ != kScopeTypeXY) ? clientRect_.right - 4 * charWidth_
                                                                       : clientRect_.right - 3;
    plotRect_.top = (aRange_.isOff() || bRange_.isOff()) ? clientRect_.top + charHeight_ + 2
                                                         : clientRect_.top + 2 * (charHeight_ - 3);
    plotRect_.bottom = clientRect_.bottom - 2 * charHeight_ + 7;
    // A window too small for the margins still gets a plot of one pixel.
    plotRect_.right = std::max(plotRect_.right, plotRect_.left);
    plotRect_.bottom = std::max(plotRect_.bottom, plotRect_.top);
    if (xMultiplier_ > 1) hScrollBar.setVisible(true);
}

// ---- trace points ---------------------------------------------------------------------------

bool CScopeView::reallocateTraces(std::size_t points) {
    tracePointsA_ = {};
    tracePointsB_ = {};
    traceCapacity_ = 0;
    traceCountA_ = traceCountB_ = 0;
    if (points > traceAllocationLimit) return false;
    try {
        tracePointsA_.resize(points);
        tracePointsB_.resize(points);
    } catch (const std::bad_alloc&) {
        tracePointsA_ = {};
        tracePointsB_ = {};
        return false;
    }
    traceCapacity_ = static_cast<std::uint32_t>(points);
    return true;
}

std::uint32_t CScopeView::fillTrace(std::vector<CanvasPoint>& points, int channel, const ChannelScale& scale) const {
    const CSignalDoc& doc = parts_.document;
    const std::int64_t n = sampleCount();
    const std::int32_t left = plotRect_.left;
    const std::int32_t right = plotRect_.right;
    const std::int32_t w = plotRect_.width();
    const double xOffset = timeOffsetPixels();
    const double samplesPerPixel = xRange_.value() / (static_cast<double>(w) * xMultiplier_) / sampleInterval();
    const std::uint32_t capacity = traceCapacity_;
    CanvasPoint* out = points.data();
    const auto pixel = [&](double v) { return TruncatePixel(scale.origin + v * scale.scale); };

    // One loop per way of reading the plotted value, so the inner loops do no choosing.
    const auto fill = [&](auto value) -> std::uint32_t {
        if (rasterMode_) {
            std::uint32_t count = 0;
            for (std::int32_t c = 0; c < w && count < capacity; ++c) {
                const double pos = (c + xOffset) * samplesPerPixel;
                const std::int64_t i0 = static_cast<std::int64_t>(pos);
                if (i0 >= n - 1) break;
                std::int64_t i1 = static_cast<std::int64_t>(pos + 1);
                if (i1 > n - 1) i1 -= 2;
                const double v0 = value(i0);
                const double v = v0 + (value(i1) - v0) * (pos - static_cast<double>(i0)) / static_cast<double>(i1 - i0);
                out[count++] = {left + c, pixel(v)};
            }
            return count;
        }
        const double start = xOffset * samplesPerPixel;
        const std::int64_t first = std::max<std::int64_t>(1, static_cast<std::int64_t>(start + 1));
        if (first > n - 1 || capacity < 2) return 0;
        {
            const double v0 = value(first - 1);
            const double v = v0 + (value(first) - v0) * (start - static_cast<double>(first - 1));
            out[0] = {left, pixel(v)};
        }
        std::uint32_t count = 1;
        for (std::int64_t i = first; i < n && count < capacity; ++i) {
            const std::int32_t x = TruncatePixel(static_cast<double>(i) / samplesPerPixel + left - xOffset);
            out[count++] = {x, pixel(value(i))};
            if (x > right) {
                // The trace ends on the right edge with the value where the edge cuts it.
                const double end = (xOffset + w) * samplesPerPixel;
                const double v0 = value(i - 1);
                const double v = v0 + (value(i) - v0) * (end - static_cast<double>(i - 1));
                out[count - 1] = {right, pixel(v)};
                break;
            }
        }
        return count;
    };

    const std::uint16_t* codesA = doc.dataA.data();
    const std::uint16_t* codesB = doc.dataB.data();
    const std::int32_t zeroCodeA = doc.zeroA;
    const std::int32_t zeroCodeB = doc.zeroB;
    const auto a = [=](std::int64_t i) { return static_cast<std::int32_t>(codesA[i]) - zeroCodeA; };
    const auto b = [=](std::int64_t i) { return static_cast<std::int32_t>(codesB[i]) - zeroCodeB; };
    if (channel == 1) return fill(b);
    // Sum and difference are taken in codes and drawn on channel A's scale.
    if (scopeType_ == kScopeTypeSum) return fill([=](std::int64_t i) { return a(i) + b(i); });
    if (scopeType_ == kScopeTypeDifference) return fill([=](std::int64_t i) { return a(i) - b(i); });
    return fill(a);
}

void CScopeView::computeTracePoints() {
    traceCountA_ = traceCountB_ = 0;
    const std::int64_t n = sampleCount();
    const double interval = sampleInterval();
    if ((aRange_.isOff() && bRange_.isOff()) || n == 0 || !(interval > 0.0)) return;

    const double w = plotRect_.width();
    const double x = xRange_.value();
    const double m = std::max<std::uint32_t>(xMultiplier_, 1);
    const double recordScreens = static_cast<double>(n) * interval / x;  // the record's length in time ranges

    for (int attempt = 0; attempt < 2; ++attempt) {
        rasterMode_ = scopeType_ != kScopeTypeXY && parts_.configuration.onePointPerRaster != 0 &&
                      static_cast<double>(n) > 2.0 * w * m * recordScreens;
        double wanted = rasterMode_ ? w
                                    : std::min(static_cast<double>(n),
                                               std::trunc(static_cast<double>(n / static_cast<std::int64_t>(m)) /
                                                              recordScreens +
                                                          10.0));
        const std::size_t points = static_cast<std::size_t>(std::max(wanted, 2.0));
        if (points > traceCapacity_) {
            if (!reallocateTraces(points)) {
                // Too many points for memory: fall back to one point per column and try again.
                parts_.shell.showMessage(kOutOfMemoryMessage);
                parts_.configuration.onePointPerRaster = 1;
                if (!reallocateTraces(kTraceCapacityMin)) {
                    ReportOutOfMemory(parts_.shell);
                    return;
                }
                continue;
            }
        } else if (points <= kTraceCapacityMin && kTraceCapacityMin < traceCapacity_) {
            if (!reallocateTraces(kTraceCapacityMin)) {
                ReportOutOfMemory(parts_.shell);
                return;
            }
        }
        if (!aRange_.isOff()) traceCountA_ = fillTrace(tracePointsA_, 0, codeScale(0));
        if (!bRange_.isOff()) traceCountB_ = fillTrace(tracePointsB_, 1, codeScale(1));
        return;
    }
}

// ---- drawing --------------------------------------------------------------------------------

void CScopeView::OnDraw(Canvas& canvas) {
    if (frameHooks_) {
        if (!frameHooks_->scopePaneShown()) return;
        if (parts_.startupStage > 0 && frameHooks_->giveScopeWholeHeight()) return;
    }
    drawPicture(canvas);
    std::int32_t pending = parts_.redraw.scopePendingDraws.load();
    while (pending > 0 && !parts_.redraw.scopePendingDraws.compare_exchange_weak(pending, pending - 1)) {
    }
    parts_.redraw.scopeRelayout = false;
}

void CScopeView::drawPicture(Canvas& canvas) {
    const InstrumentConfiguration& config = parts_.configuration;
    const Colours colours{config.colorBackground, config.colorChannelA,          config.colorChannelB,
                          config.colorGrid,       config.colorOtherText,         Complement(config.colorChannelA),
                          Complement(config.colorChannelB)};
    canvas.clearClip();
    canvas.fillRectangle({0, 0, canvas.width(), canvas.height()}, colours.background);
    const TextExtent extent = canvas.textExtent("A");
    charWidth_ = extent.width;
    charHeight_ = extent.height;
    if (parts_.redraw.scopeRelayout.load() || canvas.width() != laidOutWidth_ || canvas.height() != laidOutHeight_)
        layout(canvas.width(), canvas.height());

    drawGrid(canvas, colours);
    drawTraces(canvas, colours);
    canvas.setTextColour(colours.otherText);
    drawTitle(canvas, colours);
    if (!cursors_[0].set() && !cursors_[1].set()) drawMeasurementLines(canvas, colours);
    drawLabels(canvas, colours);
    drawTriggerMarkers(canvas, colours);
    drawCursors(canvas, colours);
}

void CScopeView::drawGrid(Canvas& canvas, const Colours& colours) const {
    const PlotRect& p = plotRect_;
    canvas.setPen(colours.grid, PenStyle::Dash);
    for (int i = 0; i <= 4; ++i) {
        const std::int32_t y = p.top + (p.bottom - p.top) * i / 4;
        canvas.drawLine({p.left, y}, {p.right, y});
    }
    for (int i = 0; i <= 4; ++i) {
        const std::int32_t x = p.left + (p.right - p.left) * i / 4;
        canvas.drawLine({x, p.top}, {x, p.bottom});
    }
    canvas.setPen(colours.grid, PenStyle::Solid);
    canvas.drawRectangle({p.left, p.top, p.right + 1, p.bottom + 1});
}

void CScopeView::drawTraces(Canvas& canvas, const Colours& colours) {
    computeTracePoints();
    const PlotRect& p = plotRect_;
    canvas.setClip({p.left, p.top, p.right + 1, p.bottom + 1});
    if (scopeType_ == kScopeTypeXY) {
        const std::uint32_t count = std::min(traceCountA_, traceCountB_);
        lissajousPoints_.resize(count);
        for (std::uint32_t i = 0; i < count; ++i) lissajousPoints_[i] = {tracePointsA_[i].y, tracePointsB_[i].y};
        canvas.setPen(colours.channelA);
        canvas.drawPolyline(lissajousPoints_);
    } else {
        canvas.setPen(colours.channelA);
        canvas.drawPolyline(tracePointsA());
        canvas.setPen(colours.channelB);
        canvas.drawPolyline(tracePointsB());
    }
    canvas.clearClip();
}

void CScopeView::drawTitle(Canvas& canvas, const Colours& colours) const {
    const CSignalDoc& doc = parts_.document;
    std::string title = scopeType_ == kScopeTypeXY ? "LISSAJOUS PATTERN" : "WAVEFORM";
    // The oscilloscope names the record by its note whenever it has one; the spectrum view only
    // while the note is switched on for display.
    if (!doc.notes.empty()) title += ":" + doc.notes;
    const PlotRect& p = plotRect_;
    const std::int32_t y = TruncatePixel(p.bottom + 1.15 * charHeight_ - 7);
    canvas.setTextColour(colours.otherText);
    DrawAligned(canvas, (p.left + p.right) / 2, y, title, Align::Centre);
}

void CScopeView::drawMeasurementLines(Canvas& canvas, const Colours& colours) const {
    const CSignalDoc& doc = parts_.document;
    const PlotRect& p = plotRect_;
    const bool eitherOff = aRange_.isOff() || bRange_.isOff();
    const auto line = [&](float max, float min, float mean, float rms) {
        return showMaxMin_ ? "Max=" + VoltsText(max) + " Min=" + VoltsText(min)
                           : "Mean=" + VoltsText(mean) + " RMS=" + VoltsText(rms);
    };
    const std::int32_t centre = (p.left + p.right) / 2;
    if (traceCountA_ > 1) {
        canvas.setTextColour(colours.channelA);
        const std::int32_t y = eitherOff ? p.top - charHeight_ - 2 : p.top + 4 - 2 * charHeight_;
        DrawAligned(canvas, centre, y, line(doc.maxA, doc.minA, doc.meanA, doc.rmsA), Align::Centre);
    }
    if (traceCountB_ > 1) {
        canvas.setTextColour(colours.channelB);
        const std::int32_t y = eitherOff ? p.top - charHeight_ - 2 : p.top - charHeight_ + 1;
        DrawAligned(canvas, centre, y, line(doc.maxB, doc.minB, doc.meanB, doc.rmsB), Align::Centre);
    }
}

void CScopeView::drawLabels(Canvas& canvas, const Colours& colours) const {
    const PlotRect& p = plotRect_;
    const std::int32_t labelRow = TruncatePixel(p.bottom + 0.25 * charHeight_ - 4);
    const std::int32_t captionRow = TruncatePixel(p.bottom + 1.15 * charHeight_ - 7);
    const std::int32_t captionTop = p.top - charHeight_ - 5;
    const std::int32_t leftOfPlot = p.left;
    const auto leftLabelX = [&](const std::string& text) {
        return TruncatePixel(leftOfPlot - canvas.textExtent(text).width - 0.25 * charWidth_);
    };
    const std::int32_t rightLabelX = TruncatePixel(p.right + 0.25 * charWidth_);

    // The labels of a vertical axis at the top, middle and bottom lines.
    const auto verticalLabels = [&](RangeCode range, std::uint32_t multiplier, std::int32_t position,
                                    std::int32_t maximum, bool leftSide) {
        const AxisLabelStep step = AxisLabelStepFor(2 * range.mantissa(), range.prefixIndex(), static_cast<int>(multiplier));
        for (int i = 0; i <= 10; i += 5) {
            const std::int64_t v = VerticalLabelHundredths(step, position, maximum, i, static_cast<int>(multiplier), true);
            if (!AxisLabelWithinRange(v, step.lowered, range.mantissa())) continue;
            const std::string text = FormatAxisLabel(v, step.decimals);
            const std::int32_t y = p.top + (p.bottom - p.top) * i / 10 - charHeight_ / 2;
            canvas.drawText({leftSide ? leftLabelX(text) : rightLabelX, y}, text);
        }
        return step;
    };

    if (scopeType_ != kScopeTypeXY) {
        canvas.setTextColour(colours.otherText);
        const AxisLabelStep step = AxisLabelStepFor(xRange_.mantissa(), xRange_.prefixIndex(), static_cast<int>(xMultiplier_));
        for (int i = 0; i <= 10; i += 5) {
            const std::int32_t x = p.left + (p.right - p.left) * i / 10;
            const std::int64_t v = HorizontalLabelHundredths(step, hScrollPos_, i, static_cast<int>(xMultiplier_), false);
            Align align = Align::Centre;
            if (i == 0 && aRange_.isOff()) align = Align::Left;
            if (i == 10 && bRange_.isOff()) align = Align::Right;
            DrawAligned(canvas, x, labelRow, FormatAxisLabel(v, step.decimals), align);
        }
        DrawAligned(canvas, p.right, captionRow, AxisCaption("", UnitPrefixLetter(step.prefixIndex), "s"),
                    bRange_.isOff() ? Align::Right : Align::Centre);

        if (!aRange_.isOff()) {
            canvas.setTextColour(colours.channelA);
            const AxisLabelStep a = verticalLabels(aRange_, aMultiplier_, aScrollPos_, aScrollMax_, true);
            static constexpr const char* kHeads[] = {"A(", "A+B(", "A-B("};
            const std::string caption = AxisCaption(kHeads[scopeType_], UnitPrefixLetter(a.prefixIndex), "V)");
            const std::int32_t width = canvas.textExtent(caption).width;
            const double shift = scopeType_ == kScopeTypeSeparate ? -0.25 : 1.25;
            canvas.drawText({TruncatePixel(p.left - width + shift * charWidth_), captionTop}, caption);
        }
        if (!bRange_.isOff()) {
            canvas.setTextColour(colours.channelB);
            const AxisLabelStep b = verticalLabels(bRange_, bMultiplier_, bScrollPos_, bScrollMax_, false);
            canvas.drawText({rightLabelX, captionTop}, AxisCaption("B(", UnitPrefixLetter(b.prefixIndex), "V)"));
        }
        return;
    }

    // Lissajous: channel A across, channel B up.
    if (!aRange_.isOff()) {
        canvas.setTextColour(colours.channelA);
        const AxisLabelStep step =
            AxisLabelStepFor(2 * aRange_.mantissa(), aRange_.prefixIndex(), static_cast<int>(aMultiplier_));
        for (int i = 0; i <= 10; i += 5) {
            const std::int64_t v = static_cast<std::int64_t>((i - 5) * 10 - aScrollMax_ / 2 + aScrollPos_) * step.step;
            if (!AxisLabelWithinRange(v, step.lowered, aRange_.mantissa())) continue;
            const std::int32_t x = p.left + (p.right - p.left) * i / 10;
            DrawAligned(canvas, x, labelRow, FormatAxisLabel(v, step.decimals), i == 10 ? Align::Right : Align::Centre);
        }
        DrawAligned(canvas, p.right, captionRow, AxisCaption("A(", UnitPrefixLetter(step.prefixIndex), "V)"),
                    Align::Right);
    }
    if (!bRange_.isOff()) {
        canvas.setTextColour(colours.channelA);
        const AxisLabelStep b = verticalLabels(bRange_, bMultiplier_, bScrollPos_, bScrollMax_, true);
        canvas.setTextColour(colours.channelB);
        const std::string caption = AxisCaption("B(", UnitPrefixLetter(b.prefixIndex), "V)");
        canvas.drawText({leftLabelX(caption), captionTop}, caption);
    }
}

void CScopeView::DrawArrowMarker(Canvas& canvas, std::int32_t x, std::int32_t y, std::int32_t size, Colour colour) {
    canvas.setPen(colour);
    canvas.drawLine({x - size / 4, y}, {x + size / 4, y});
    canvas.drawLine({x, y}, {x, y - size});
    const std::array<CanvasPoint, 3> head{{{x - size / 4, y - size / 2}, {x, y - size}, {x + size / 4, y - size / 2}}};
    canvas.drawPolyline(head);
}

void CScopeView::drawTriggerMarkers(Canvas& canvas, const Colours& colours) {
    const AcquisitionParameters& acq = parts_.acquisition;
    if (acq.triggerMode == 0 || scopeType_ != kScopeTypeSeparate || !acq.levelEdited) return;
    const bool sourceA = acq.triggerSource == 0;
    const RangeCode sourceRange = sourceA ? aRange_ : bRange_;
    const Colour colour = sourceA ? colours.channelA : colours.channelB;
    const PlotRect& p = plotRect_;
    const int bits = acq.samplingBits;
    const InstrumentConfiguration& config = parts_.configuration;
    // A channel that is "Off" has no vertical scale to put the level on.
    if (!sourceRange.isOff() && (bits == 8 || bits == 16)) {
        const double fullScale = bits == 8 ? config.inputFullScale8 : config.inputFullScale16;
        const double levels = std::ldexp(1.0, bits);
        const float volts = static_cast<float>((static_cast<double>(acq.triggerLevelCode) - levels / 2) * 2.0 *
                                               fullScale / levels * 0.001);
        const std::int32_t y = sourceA ? ValueToPixelA(volts) : ValueToPixelB(volts);
        if (y >= p.top && y <= p.bottom) DrawArrowMarker(canvas, p.left, y, acq.triggerEdge == 0 ? 12 : -12, colour);
    }
    if (acq.triggerDelaySamples < 0 && acq.samplingRate > 0) {
        const double samplesPerPixel = xRange_.value() / p.width() / std::max<std::uint32_t>(xMultiplier_, 1) *
                                       acq.samplingRate;
        triggerMarkerX_ = TruncatePixel(p.left - acq.triggerDelaySamples / samplesPerPixel - timeOffsetPixels());
        if (triggerMarkerX_ >= p.left && triggerMarkerX_ <= p.right) {
            canvas.setPen(colour);
            canvas.drawLine({triggerMarkerX_, p.top}, {triggerMarkerX_, p.top + 6});
            canvas.drawLine({triggerMarkerX_ + 3, p.top}, {triggerMarkerX_ - 3, p.top});
        }
    }
}

void CScopeView::drawCursors(Canvas& canvas, const Colours& colours) {
    const PlotRect& p = plotRect_;
    for (std::size_t index = 0; index < cursors_.size(); ++index) {
        ScopeCursor& cursor = cursors_[index];
        if (!cursor.set()) continue;
        const bool onA = cursor.channel == CursorChannel::A;
        cursor.x = TimeToPixel(cursor.time);
        cursor.y = onA ? ValueToPixelA(cursor.value) : ValueToPixelB(cursor.value);
        canvas.setPen(onA ? colours.cursorA : colours.cursorB);
        const bool across = cursor.x > p.left && cursor.x < p.right;
        const bool along = cursor.y > p.top && cursor.y < p.bottom;
        if (across) canvas.drawLine({cursor.x, p.top}, {cursor.x, p.bottom});
        if (along) canvas.drawLine({p.left, cursor.y}, {p.right, cursor.y});
        if (across && along) {
            canvas.setTextColour(onA ? colours.channelA : colours.channelB);
            canvas.drawText({cursor.x, cursor.y}, index == 0 ? "1" : "2");
        }
    }

    const ScopeCursor& first = cursors_[0];
    const ScopeCursor& second = cursors_[1];
    const auto channelColour = [&](const ScopeCursor& cursor) {
        return cursor.channel == CursorChannel::A ? colours.channelA : colours.channelB;
    };
    const bool lissajous = scopeType_ == kScopeTypeXY;
    std::string text;
    if (first.set() && second.set()) {
        canvas.setTextColour(first.channel == second.channel ? channelColour(first) : colours.otherText);
        text = (lissajous ? "A2-A1=" + FormatEngineering(second.time - first.time) + "V;"
                          : "T2-T1=" + FormatEngineering(second.time - first.time) + "s;") +
               "B2-B1=" + FormatEngineering(second.value - first.value) + "V";
    } else if (first.set() || second.set()) {
        const ScopeCursor& only = first.set() ? first : second;
        canvas.setTextColour(channelColour(only));
        text = FormatEngineering(only.time) + (lissajous ? "V " : "s ") + FormatEngineering(only.value) + "V";
    } else {
        return;
    }
    DrawAligned(canvas, (p.left + p.right) / 2, p.top - charHeight_, text, Align::Centre);
}

}  // namespace tonewell
