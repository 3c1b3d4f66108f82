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

namespace tonewell {

namespace {

std::string VoltsText(float value) {
    char text[64];
    std::snprintf(text, sizeof text, "%12.3fV", static_cast<double>(value));
    std::string result(text);
    return result.substr(std::min(result.find_first_not_of(' '), result.size()));
}

}  // namespace

CScopeView::CScopeView(const ScopeViewParts& parts) : parts_(parts) {
    frame_.setHandlers([this] { relayout(); }, [this](std::string_view message) { parts_.shell.showMessage(message); });
    // The selectors as they stand, until the first update.
    ReadSelectors();
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
    frame_.rescale(xMultiplier_, aMultiplier_, bMultiplier_);
    for (PlotCursor& cursor : cursors_) {
        if ((cursor.channel == CursorChannel::A && aRange_.isOff()) ||
            (cursor.channel == CursorChannel::B && bRange_.isOff()))
            cursor.clear();
    }
    relayout();
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
    ClearCursors(cursors_);
    UpdateSelectorStates();
    ReadSelectors();
    ApplyRanges();
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
    frame_.barA.setVisible(false);
    frame_.barB.setVisible(false);
    ReadSelectors();
    parts_.redraw.scopeRelayout = true;
    if (!traces_.reallocate(PointBuffers::kCapacityMin)) {
        ReportOutOfMemory(parts_.shell);
        return;
    }
    frame_.resetScroll();
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

void CScopeView::OnSize() { relayout(); }

void CScopeView::invalidate() {
    if (repaintHandler_) repaintHandler_();
}

void CScopeView::relayout() {
    parts_.redraw.scopeRelayout = true;
    invalidate();
}

// ---- taps -----------------------------------------------------------------------------------

void CScopeView::OnLButtonDown(std::int32_t x, std::int32_t y, bool secondCursor) {
    if (frameHooks_) frameHooks_->showScopeBar1();
    switch (TapAreaOf(plot(), x, y)) {
        case TapArea::Above:
            showMaxMin_ = !showMaxMin_;
            ClearCursors(cursors_);
            break;
        case TapArea::AboveLeft:
            if (!aRange_.isOff()) cursorChannel_ = 0;
            break;
        case TapArea::AboveRight:
            if (!bRange_.isOff() && scopeType_ != kScopeTypeXY) cursorChannel_ = 1;
            break;
        case TapArea::Plot: {
            const bool onA = cursorChannel_ == 0;
            const bool refused = onA ? aRange_.isOff() : (bRange_.isOff() || scopeType_ == kScopeTypeXY);
            if (refused) break;
            PlotCursor& cursor = cursors_[secondCursor ? 1 : 0];
            cursor.x = x;
            cursor.y = y;
            cursor.channel = onA ? CursorChannel::A : CursorChannel::B;
            cursor.xValue = PixelToTime(x);
            cursor.yValue = onA ? PixelToValueA(y) : PixelToValueB(y);
            break;
        }
        case TapArea::Elsewhere: ClearCursors(cursors_); break;
    }
    relayout();
}

// ---- scales ---------------------------------------------------------------------------------

double CScopeView::timeOffsetPixels() const {
    const ScrollRange h = frame_.horizontalScroll();
    if (h.maximum <= 0) return 0.0;
    return static_cast<double>(h.position) / h.maximum * (static_cast<double>(xMultiplier_) - 1.0) * plot().width();
}

double CScopeView::secondsPerPixel() const {
    return xRange_.value() / static_cast<double>(std::max<std::uint32_t>(xMultiplier_, 1)) / plot().width();
}

double CScopeView::voltsPerPixelA() const {
    const double span = scopeType_ == kScopeTypeXY ? plot().width() : plot().height();
    return 2.0 * aRange_.value() / EffectiveMultiplier(aMultiplier_) / span;
}

double CScopeView::voltsPerPixelB() const {
    return 2.0 * bRange_.value() / EffectiveMultiplier(bMultiplier_) / plot().height();
}

double CScopeView::zeroA() const {
    const ScrollRange a = frame_.valueScroll(0);
    const double offset = a.maximum > 0 ? static_cast<double>(a.position - a.maximum / 2) / a.maximum *
                                              (static_cast<double>(aMultiplier_) + 1.0)
                                        : 0.0;
    if (scopeType_ == kScopeTypeXY) {
        const double w = plot().width();
        return plot().left + w / 2.0 - offset * w;
    }
    const double h = plot().height();
    return plot().top + h / 2.0 - offset * h;
}

double CScopeView::zeroB() const {
    const ScrollRange b = frame_.valueScroll(1);
    const double offset = b.maximum > 0 ? static_cast<double>(b.position - b.maximum / 2) / b.maximum *
                                              (static_cast<double>(bMultiplier_) + 1.0)
                                        : 0.0;
    const double h = plot().height();
    return plot().top + h / 2.0 - offset * h;
}

float CScopeView::PixelToTime(std::int32_t x) const {
    if (scopeType_ == kScopeTypeXY) return static_cast<float>((x - zeroA()) * voltsPerPixelA());
    return static_cast<float>((timeOffsetPixels() + x - plot().left) * secondsPerPixel());
}

std::int32_t CScopeView::TimeToPixel(float t) const {
    if (scopeType_ == kScopeTypeXY) return TruncatePixel(t / voltsPerPixelA() + zeroA() + 0.00001);
    return TruncatePixel(t / secondsPerPixel() + 0.00001 - timeOffsetPixels() + plot().left);
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
    const double span = horizontal ? plot().width() : plot().height();
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

// ---- trace points ---------------------------------------------------------------------------

std::uint32_t CScopeView::fillTrace(CanvasPoint* out, int channel, const ChannelScale& scale) const {
    const CSignalDoc& doc = parts_.document;
    const std::int64_t n = sampleCount();
    const std::int32_t left = plot().left;
    const std::int32_t right = plot().right;
    const std::int32_t w = plot().width();
    const double xOffset = timeOffsetPixels();
    const double samplesPerPixel = xRange_.value() / (static_cast<double>(w) * xMultiplier_) / sampleInterval();
    const std::uint32_t capacity = traces_.capacity();
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
    traces_.clearCounts();
    const std::int64_t n = sampleCount();
    const double interval = sampleInterval();
    if ((aRange_.isOff() && bRange_.isOff()) || n == 0 || !(interval > 0.0)) return;

    const double w = plot().width();
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
        const PointBuffers::Fit fit = traces_.fit(points);
        if (fit == PointBuffers::Fit::Exhausted || fit == PointBuffers::Fit::ExhaustedAndLost) {
            // Too many points for memory: fall back to one point per column and try again.
            parts_.shell.showMessage(kOutOfMemoryMessage);
            parts_.configuration.onePointPerRaster = 1;
        }
        if (fit == PointBuffers::Fit::Lost || fit == PointBuffers::Fit::ExhaustedAndLost) {
            ReportOutOfMemory(parts_.shell);
            return;
        }
        if (fit == PointBuffers::Fit::Exhausted) continue;
        if (!aRange_.isOff()) traces_.setCount(0, fillTrace(traces_.data(0), 0, codeScale(0)));
        if (!bRange_.isOff()) traces_.setCount(1, fillTrace(traces_.data(1), 1, codeScale(1)));
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
    prepare(canvas);
    draw(canvas);
}

void CScopeView::prepare(const Canvas& canvas) {
    character_ = canvas.textExtent("A");
    if (parts_.redraw.scopeRelayout.load() || !frame_.laidOutFor(canvas.width(), canvas.height())) {
        PlotMargins margins;
        margins.barA = aMultiplier_ >= 1 && !aRange_.isOff();
        // The B bar follows its multiplier alone.
        margins.barB = bMultiplier_ >= 1;
        margins.labelsLeft = !aRange_.isOff();
        margins.labelsRight = !bRange_.isOff() && scopeType_ != kScopeTypeXY;
        margins.twoReadoutRows = !aRange_.isOff() && !bRange_.isOff();
        frame_.layout(canvas.width(), canvas.height(), character_, xMultiplier_, margins);
    }
    computeTracePoints();
    if (scopeType_ == kScopeTypeXY) {
        const std::uint32_t count = std::min(traces_.count(0), traces_.count(1));
        lissajousPoints_.resize(count);
        const std::span<const CanvasPoint> a = traces_.points(0), b = traces_.points(1);
        for (std::uint32_t i = 0; i < count; ++i) lissajousPoints_[i] = {a[i].y, b[i].y};
    }
    for (PlotCursor& cursor : cursors_) {
        if (!cursor.set()) continue;
        cursor.x = TimeToPixel(cursor.xValue);
        cursor.y = cursor.onA() ? ValueToPixelA(cursor.yValue) : ValueToPixelB(cursor.yValue);
    }
    const AcquisitionParameters& acq = parts_.acquisition;
    if (triggerMarked() && acq.triggerDelaySamples < 0 && acq.samplingRate > 0) {
        const PlotRect& p = plot();
        const double samplesPerPixel =
            xRange_.value() / p.width() / std::max<std::uint32_t>(xMultiplier_, 1) * acq.samplingRate;
        triggerMarkerX_ = TruncatePixel(p.left - acq.triggerDelaySamples / samplesPerPixel - timeOffsetPixels());
    }
}

bool CScopeView::triggerMarked() const {
    const AcquisitionParameters& acq = parts_.acquisition;
    return acq.triggerMode != 0 && scopeType_ == kScopeTypeSeparate && acq.levelEdited;
}

void CScopeView::draw(Canvas& canvas) const {
    const PlotColours colours = PlotColours::Of(parts_.configuration);
    canvas.clearClip();
    canvas.fillRectangle({0, 0, canvas.width(), canvas.height()}, colours.background);
    DrawQuarterGrid(canvas, plot(), colours.grid, true, true);
    drawTraces(canvas, colours);
    canvas.setTextColour(colours.otherText);
    drawTitle(canvas, colours);
    if (!cursors_[0].set() && !cursors_[1].set()) drawMeasurementLines(canvas, colours);
    drawLabels(canvas, colours);
    drawTriggerMarkers(canvas, colours);
    DrawCursorCrosses(canvas, plot(), cursors_, colours, {});
    drawCursorReadout(canvas, colours);
}

void CScopeView::drawTraces(Canvas& canvas, const PlotColours& colours) const {
    canvas.setClip(plot().frame());
    if (scopeType_ == kScopeTypeXY) {
        canvas.setPen(colours.channelA);
        canvas.drawPolyline(lissajousPoints_);
    } else {
        canvas.setPen(colours.channelA);
        canvas.drawPolyline(traces_.points(0));
        canvas.setPen(colours.channelB);
        canvas.drawPolyline(traces_.points(1));
    }
    canvas.clearClip();
}

void CScopeView::drawTitle(Canvas& canvas, const PlotColours& colours) const {
    const CSignalDoc& doc = parts_.document;
    std::string title = scopeType_ == kScopeTypeXY ? "LISSAJOUS PATTERN" : "WAVEFORM";
    // The oscilloscope names the record by its note whenever it has one; the spectrum view only
    // while the note is switched on for display.
    if (!doc.notes.empty()) title += ":" + doc.notes;
    const PlotRect& p = plot();
    canvas.setTextColour(colours.otherText);
    DrawAligned(canvas, (p.left + p.right) / 2, CaptionRow(p, character_.height), title, Align::Centre);
}

void CScopeView::drawMeasurementLines(Canvas& canvas, const PlotColours& colours) const {
    const CSignalDoc& doc = parts_.document;
    const PlotRect& p = plot();
    const bool eitherOff = aRange_.isOff() || bRange_.isOff();
    const auto line = [&](float max, float min, float mean, float rms) {
        return showMaxMin_ ? "Max=" + VoltsText(max) + " Min=" + VoltsText(min)
                           : "Mean=" + VoltsText(mean) + " RMS=" + VoltsText(rms);
    };
    const std::int32_t centre = (p.left + p.right) / 2;
    if (traces_.count(0) > 1) {
        canvas.setTextColour(colours.channelA);
        DrawAligned(canvas, centre, ReadoutRow(p, character_.height, 0, eitherOff),
                    line(doc.maxA, doc.minA, doc.meanA, doc.rmsA), Align::Centre);
    }
    if (traces_.count(1) > 1) {
        canvas.setTextColour(colours.channelB);
        DrawAligned(canvas, centre, ReadoutRow(p, character_.height, 1, eitherOff),
                    line(doc.maxB, doc.minB, doc.meanB, doc.rmsB), Align::Centre);
    }
}

void CScopeView::drawLabels(Canvas& canvas, const PlotColours& colours) const {
    const PlotRect& p = plot();
    const std::int32_t charWidth = character_.width;
    const std::int32_t charHeight = character_.height;
    const std::int32_t labelRow = LabelRow(p, charHeight);
    const std::int32_t captionRow = CaptionRow(p, charHeight);
    const std::int32_t captionTop = p.top - charHeight - 5;
    const ScrollRange scrollA = frame_.valueScroll(0), scrollB = frame_.valueScroll(1);
    const std::int32_t leftOfPlot = p.left;
    const auto leftLabelX = [&](const std::string& text) {
        return TruncatePixel(leftOfPlot - canvas.textExtent(text).width - 0.25 * charWidth);
    };
    const std::int32_t rightLabelX = TruncatePixel(p.right + 0.25 * charWidth);

    // The labels of a vertical axis at the top, middle and bottom lines.
    const auto verticalLabels = [&](RangeCode range, std::uint32_t multiplier, std::int32_t position,
                                    std::int32_t maximum, bool leftSide) {
        const AxisLabelStep step = AxisLabelStepFor(2 * range.mantissa(), range.prefixIndex(), static_cast<int>(multiplier));
        for (int i = 0; i <= 10; i += 5) {
            const std::int64_t v = VerticalLabelHundredths(step, position, maximum, i, static_cast<int>(multiplier), true);
            if (!AxisLabelWithinRange(v, step.lowered, range.mantissa())) continue;
            const std::string text = FormatAxisLabel(v, step.decimals);
            const std::int32_t y = p.top + (p.bottom - p.top) * i / 10 - charHeight / 2;
            canvas.drawText({leftSide ? leftLabelX(text) : rightLabelX, y}, text);
        }
        return step;
    };

    if (scopeType_ != kScopeTypeXY) {
        canvas.setTextColour(colours.otherText);
        const AxisLabelStep step = AxisLabelStepFor(xRange_.mantissa(), xRange_.prefixIndex(), static_cast<int>(xMultiplier_));
        for (int i = 0; i <= 10; i += 5) {
            const std::int32_t x = p.left + (p.right - p.left) * i / 10;
            const std::int64_t v = HorizontalLabelHundredths(step, frame_.horizontalScroll().position, i, static_cast<int>(xMultiplier_), false);
            Align align = Align::Centre;
            if (i == 0 && aRange_.isOff()) align = Align::Left;
            if (i == 10 && bRange_.isOff()) align = Align::Right;
            DrawAligned(canvas, x, labelRow, FormatAxisLabel(v, step.decimals), align);
        }
        DrawAligned(canvas, p.right, captionRow, AxisCaption("", UnitPrefixLetter(step.prefixIndex), "s"),
                    bRange_.isOff() ? Align::Right : Align::Centre);

        if (!aRange_.isOff()) {
            canvas.setTextColour(colours.channelA);
            const AxisLabelStep a = verticalLabels(aRange_, aMultiplier_, scrollA.position, scrollA.maximum, true);
            static constexpr const char* kHeads[] = {"A(", "A+B(", "A-B("};
            const std::string caption = AxisCaption(kHeads[scopeType_], UnitPrefixLetter(a.prefixIndex), "V)");
            const std::int32_t width = canvas.textExtent(caption).width;
            const double shift = scopeType_ == kScopeTypeSeparate ? -0.25 : 1.25;
            canvas.drawText({TruncatePixel(p.left - width + shift * charWidth), captionTop}, caption);
        }
        if (!bRange_.isOff()) {
            canvas.setTextColour(colours.channelB);
            const AxisLabelStep b = verticalLabels(bRange_, bMultiplier_, scrollB.position, scrollB.maximum, false);
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
            const std::int64_t v = static_cast<std::int64_t>((i - 5) * 10 - scrollA.maximum / 2 + scrollA.position) * step.step;
            if (!AxisLabelWithinRange(v, step.lowered, aRange_.mantissa())) continue;
            const std::int32_t x = p.left + (p.right - p.left) * i / 10;
            DrawAligned(canvas, x, labelRow, FormatAxisLabel(v, step.decimals), i == 10 ? Align::Right : Align::Centre);
        }
        DrawAligned(canvas, p.right, captionRow, AxisCaption("A(", UnitPrefixLetter(step.prefixIndex), "V)"),
                    Align::Right);
    }
    if (!bRange_.isOff()) {
        canvas.setTextColour(colours.channelA);
        const AxisLabelStep b = verticalLabels(bRange_, bMultiplier_, scrollB.position, scrollB.maximum, true);
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

void CScopeView::drawTriggerMarkers(Canvas& canvas, const PlotColours& colours) const {
    const AcquisitionParameters& acq = parts_.acquisition;
    if (!triggerMarked()) return;
    const bool sourceA = acq.triggerSource == 0;
    const RangeCode sourceRange = sourceA ? aRange_ : bRange_;
    const Colour colour = sourceA ? colours.channelA : colours.channelB;
    const PlotRect& p = plot();
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
    if (acq.triggerDelaySamples < 0 && acq.samplingRate > 0 && triggerMarkerX_ >= p.left && triggerMarkerX_ <= p.right) {
        canvas.setPen(colour);
        canvas.drawLine({triggerMarkerX_, p.top}, {triggerMarkerX_, p.top + 6});
        canvas.drawLine({triggerMarkerX_ + 3, p.top}, {triggerMarkerX_ - 3, p.top});
    }
}

void CScopeView::drawCursorReadout(Canvas& canvas, const PlotColours& colours) const {
    const PlotCursor& first = cursors_[0];
    const PlotCursor& second = cursors_[1];
    const auto channelColour = [&](const PlotCursor& cursor) { return cursor.onA() ? colours.channelA : colours.channelB; };
    const bool lissajous = scopeType_ == kScopeTypeXY;
    std::string text;
    if (first.set() && second.set()) {
        canvas.setTextColour(first.channel == second.channel ? channelColour(first) : colours.otherText);
        text = (lissajous ? "A2-A1=" + FormatEngineering(second.xValue - first.xValue) + "V;"
                          : "T2-T1=" + FormatEngineering(second.xValue - first.xValue) + "s;") +
               "B2-B1=" + FormatEngineering(second.yValue - first.yValue) + "V";
    } else if (first.set() || second.set()) {
        const PlotCursor& only = first.set() ? first : second;
        canvas.setTextColour(channelColour(only));
        text = FormatEngineering(only.xValue) + (lissajous ? "V " : "s ") + FormatEngineering(only.yValue) + "V";
    } else {
        return;
    }
    const PlotRect& p = plot();
    DrawAligned(canvas, (p.left + p.right) / 2, p.top - character_.height, text, Align::Centre);
}

}  // namespace tonewell
