#include "scope/CScopeView.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <new>
#include <string>
#include <utility>

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

CScopeView::CScopeView(const ScopeViewParts& parts)
    : PlotView(kScopeScrollBarAId, kScopeScrollBarBId, parts.redraw.scopePendingDraws, parts.shell), parts_(parts) {}

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

// ---- settings -------------------------------------------------------------------------------

void CScopeView::apply(const ScopeSettings& settings) {
    settings_ = settings;
    frame_.rescale(settings_.xMultiplier, settings_.aMultiplier, settings_.bMultiplier);
    for (PlotCursor& cursor : cursors_) {
        if ((cursor.channel == CursorChannel::A && settings_.aRange.isOff()) ||
            (cursor.channel == CursorChannel::B && settings_.bRange.isOff()))
            cursor.clear();
    }
    invalidate();
}

void CScopeView::setReadout(MeasurementReadout readout) {
    readout_ = std::move(readout);
    invalidate();
}

bool CScopeView::reset() {
    frame_.barA.setVisible(false);
    frame_.barB.setVisible(false);
    return resetPicture();
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
            if (!settings_.aRange.isOff()) cursorChannel_ = 0;
            break;
        case TapArea::AboveRight:
            if (!settings_.bRange.isOff() && settings_.type != kScopeTypeXY) cursorChannel_ = 1;
            break;
        case TapArea::Plot:
            if (PlotCursor* cursor = placeCursor(secondCursor, x, y, settings_.aRange.isOff(),
                                                 settings_.bRange.isOff() || settings_.type == kScopeTypeXY)) {
                cursor->xValue = PixelToTime(x);
                cursor->yValue = cursor->onA() ? PixelToValueA(y) : PixelToValueB(y);
            }
            break;
        case TapArea::Elsewhere: ClearCursors(cursors_); break;
    }
    invalidate();
}

// ---- scales ---------------------------------------------------------------------------------

double CScopeView::timeOffsetPixels() const {
    const ScrollRange h = frame_.horizontalScroll();
    if (h.maximum <= 0) return 0.0;
    return static_cast<double>(h.position) / h.maximum * (static_cast<double>(settings_.xMultiplier) - 1.0) * plot().width();
}

double CScopeView::secondsPerPixel() const {
    return settings_.xRange.value() / static_cast<double>(std::max<std::uint32_t>(settings_.xMultiplier, 1)) / plot().width();
}

double CScopeView::voltsPerPixelA() const {
    const double span = settings_.type == kScopeTypeXY ? plot().width() : plot().height();
    return 2.0 * settings_.aRange.value() / EffectiveMultiplier(settings_.aMultiplier) / span;
}

double CScopeView::voltsPerPixelB() const {
    return 2.0 * settings_.bRange.value() / EffectiveMultiplier(settings_.bMultiplier) / plot().height();
}

double CScopeView::zeroA() const {
    const ScrollRange a = frame_.valueScroll(0);
    const double offset = a.maximum > 0 ? static_cast<double>(a.position - a.maximum / 2) / a.maximum *
                                              (static_cast<double>(settings_.aMultiplier) + 1.0)
                                        : 0.0;
    if (settings_.type == kScopeTypeXY) {
        const double w = plot().width();
        return plot().left + w / 2.0 - offset * w;
    }
    const double h = plot().height();
    return plot().top + h / 2.0 - offset * h;
}

double CScopeView::zeroB() const {
    const ScrollRange b = frame_.valueScroll(1);
    const double offset = b.maximum > 0 ? static_cast<double>(b.position - b.maximum / 2) / b.maximum *
                                              (static_cast<double>(settings_.bMultiplier) + 1.0)
                                        : 0.0;
    const double h = plot().height();
    return plot().top + h / 2.0 - offset * h;
}

float CScopeView::PixelToTime(std::int32_t x) const {
    if (settings_.type == kScopeTypeXY) return static_cast<float>((x - zeroA()) * voltsPerPixelA());
    return static_cast<float>((timeOffsetPixels() + x - plot().left) * secondsPerPixel());
}

std::int32_t CScopeView::TimeToPixel(float t) const {
    if (settings_.type == kScopeTypeXY) return TruncatePixel(t / voltsPerPixelA() + zeroA() + 0.00001);
    return TruncatePixel(t / secondsPerPixel() + 0.00001 - timeOffsetPixels() + plot().left);
}

float CScopeView::PixelToValueA(std::int32_t y) const {
    // Lissajous: the vertical axis is channel B's.
    if (settings_.type == kScopeTypeXY) return PixelToValueB(y);
    return static_cast<float>((zeroA() - y) * voltsPerPixelA());
}

float CScopeView::PixelToValueB(std::int32_t y) const { return static_cast<float>((zeroB() - y) * voltsPerPixelB()); }

std::int32_t CScopeView::ValueToPixelA(float v) const {
    if (settings_.type == kScopeTypeXY) return ValueToPixelB(v);
    return TruncatePixel(zeroA() - v / voltsPerPixelA() + 0.00001);
}

std::int32_t CScopeView::ValueToPixelB(float v) const { return TruncatePixel(zeroB() - v / voltsPerPixelB() + 0.00001); }

CScopeView::ChannelScale CScopeView::codeScale(int channel) const {
    const CSignalDoc& doc = parts_.document;
    const bool isA = channel == 0;
    const RangeCode range = isA ? settings_.aRange : settings_.bRange;
    const VoltageRange full = isA ? doc.rangeA() : doc.rangeB();
    const int bits = isA ? doc.resolutionA : doc.resolutionB;
    const double multiplier = EffectiveMultiplier(isA ? settings_.aMultiplier : settings_.bMultiplier);
    const bool horizontal = isA && settings_.type == kScopeTypeXY;
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
    const double samplesPerPixel = settings_.xRange.value() / (static_cast<double>(w) * settings_.xMultiplier) / sampleInterval();
    const std::uint32_t capacity = points_.capacity();
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
    if (settings_.type == kScopeTypeSum) return fill([=](std::int64_t i) { return a(i) + b(i); });
    if (settings_.type == kScopeTypeDifference) return fill([=](std::int64_t i) { return a(i) - b(i); });
    return fill(a);
}

void CScopeView::computeTracePoints() {
    points_.clearCounts();
    const std::int64_t n = sampleCount();
    const double interval = sampleInterval();
    if ((settings_.aRange.isOff() && settings_.bRange.isOff()) || n == 0 || !(interval > 0.0)) return;

    const double w = plot().width();
    const double x = settings_.xRange.value();
    const double m = std::max<std::uint32_t>(settings_.xMultiplier, 1);
    const double recordScreens = static_cast<double>(n) * interval / x;  // the record's length in time ranges

    for (int attempt = 0; attempt < 2; ++attempt) {
        rasterMode_ = settings_.type != kScopeTypeXY && parts_.configuration.onePointPerRaster != 0 &&
                      static_cast<double>(n) > 2.0 * w * m * recordScreens;
        double wanted = rasterMode_ ? w
                                    : std::min(static_cast<double>(n),
                                               std::trunc(static_cast<double>(n / static_cast<std::int64_t>(m)) /
                                                              recordScreens +
                                                          10.0));
        const PointRoom room = roomForPoints(wanted, parts_.configuration.onePointPerRaster);
        if (room == PointRoom::None) return;
        if (room == PointRoom::Retry) continue;
        if (!settings_.aRange.isOff()) points_.setCount(0, fillTrace(points_.data(0), 0, codeScale(0)));
        if (!settings_.bRange.isOff()) points_.setCount(1, fillTrace(points_.data(1), 1, codeScale(1)));
        return;
    }
}

// ---- drawing --------------------------------------------------------------------------------

bool CScopeView::mayDraw() {
    return parts_.panes.scopeShown && !(frameHooks_ && frameHooks_->giveScopeWholeHeight());
}

void CScopeView::prepare(const Canvas& canvas) {
    character_ = canvas.textExtent("A");
    PlotMargins margins;
    margins.barA = settings_.aMultiplier >= 1 && !settings_.aRange.isOff();
    // The B bar follows its multiplier alone.
    margins.barB = settings_.bMultiplier >= 1;
    margins.labelsLeft = !settings_.aRange.isOff();
    margins.labelsRight = !settings_.bRange.isOff() && settings_.type != kScopeTypeXY;
    margins.twoReadoutRows = !settings_.aRange.isOff() && !settings_.bRange.isOff();
    frame_.layout(canvas.width(), canvas.height(), character_, settings_.xMultiplier, margins);
    computeTracePoints();
    if (settings_.type == kScopeTypeXY) {
        const std::uint32_t count = std::min(points_.count(0), points_.count(1));
        lissajousPoints_.resize(count);
        const std::span<const CanvasPoint> a = points_.points(0), b = points_.points(1);
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
            settings_.xRange.value() / p.width() / std::max<std::uint32_t>(settings_.xMultiplier, 1) * acq.samplingRate;
        triggerMarkerX_ = TruncatePixel(p.left - acq.triggerDelaySamples / samplesPerPixel - timeOffsetPixels());
    }
}

bool CScopeView::triggerMarked() const {
    const AcquisitionParameters& acq = parts_.acquisition;
    return acq.triggerMode != 0 && settings_.type == kScopeTypeSeparate && acq.levelEdited;
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
    if (settings_.type != kScopeTypeXY) {
        drawPointTraces(canvas, colours);
        return;
    }
    canvas.setClip(plot().frame());
    canvas.setPen(colours.channelA);
    canvas.drawPolyline(lissajousPoints_);
    canvas.clearClip();
}

void CScopeView::drawTitle(Canvas& canvas, const PlotColours& colours) const {
    const CSignalDoc& doc = parts_.document;
    std::string title = settings_.type == kScopeTypeXY ? "LISSAJOUS PATTERN" : "WAVEFORM";
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
    const bool eitherOff = settings_.aRange.isOff() || settings_.bRange.isOff();
    // A sum or difference is no channel's tone.
    const bool frequencies = readout_.shown && (settings_.type == kScopeTypeSeparate || settings_.type == kScopeTypeXY);
    const auto line = [&](float max, float min, float mean, float rms, int channel) {
        return (showMaxMin_ ? "Max=" + VoltsText(max) + " Min=" + VoltsText(min)
                            : "Mean=" + VoltsText(mean) + " RMS=" + VoltsText(rms)) +
               (frequencies ? ScopeFrequencyText(readout_.channel(channel)) : std::string());
    };
    const std::int32_t centre = (p.left + p.right) / 2;
    if (points_.count(0) > 1) {
        canvas.setTextColour(colours.channelA);
        DrawAligned(canvas, centre, ReadoutRow(p, character_.height, 0, eitherOff),
                    line(doc.maxA, doc.minA, doc.meanA, doc.rmsA, 0), Align::Centre);
    }
    if (points_.count(1) > 1) {
        canvas.setTextColour(colours.channelB);
        DrawAligned(canvas, centre, ReadoutRow(p, character_.height, 1, eitherOff),
                    line(doc.maxB, doc.minB, doc.meanB, doc.rmsB, 1), Align::Centre);
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

    if (settings_.type != kScopeTypeXY) {
        canvas.setTextColour(colours.otherText);
        const AxisLabelStep step = AxisLabelStepFor(settings_.xRange.mantissa(), settings_.xRange.prefixIndex(), static_cast<int>(settings_.xMultiplier));
        for (int i = 0; i <= 10; i += 5) {
            const std::int32_t x = p.left + (p.right - p.left) * i / 10;
            const std::int64_t v = HorizontalLabelHundredths(step, frame_.horizontalScroll().position, i, static_cast<int>(settings_.xMultiplier), false);
            Align align = Align::Centre;
            if (i == 0 && settings_.aRange.isOff()) align = Align::Left;
            if (i == 10 && settings_.bRange.isOff()) align = Align::Right;
            DrawAligned(canvas, x, labelRow, FormatAxisLabel(v, step.decimals), align);
        }
        DrawAligned(canvas, p.right, captionRow, AxisCaption("", UnitPrefixLetter(step.prefixIndex), "s"),
                    settings_.bRange.isOff() ? Align::Right : Align::Centre);

        if (!settings_.aRange.isOff()) {
            canvas.setTextColour(colours.channelA);
            const AxisLabelStep a = verticalLabels(settings_.aRange, settings_.aMultiplier, scrollA.position, scrollA.maximum, true);
            static constexpr const char* kHeads[] = {"A(", "A+B(", "A-B("};
            const std::string caption = AxisCaption(kHeads[settings_.type], UnitPrefixLetter(a.prefixIndex), "V)");
            const std::int32_t width = canvas.textExtent(caption).width;
            const double shift = settings_.type == kScopeTypeSeparate ? -0.25 : 1.25;
            canvas.drawText({TruncatePixel(p.left - width + shift * charWidth), captionTop}, caption);
        }
        if (!settings_.bRange.isOff()) {
            canvas.setTextColour(colours.channelB);
            const AxisLabelStep b = verticalLabels(settings_.bRange, settings_.bMultiplier, scrollB.position, scrollB.maximum, false);
            canvas.drawText({rightLabelX, captionTop}, AxisCaption("B(", UnitPrefixLetter(b.prefixIndex), "V)"));
        }
        return;
    }

    // Lissajous: channel A across, channel B up.
    if (!settings_.aRange.isOff()) {
        canvas.setTextColour(colours.channelA);
        const AxisLabelStep step =
            AxisLabelStepFor(2 * settings_.aRange.mantissa(), settings_.aRange.prefixIndex(), static_cast<int>(settings_.aMultiplier));
        for (int i = 0; i <= 10; i += 5) {
            const std::int64_t v = static_cast<std::int64_t>((i - 5) * 10 - scrollA.maximum / 2 + scrollA.position) * step.step;
            if (!AxisLabelWithinRange(v, step.lowered, settings_.aRange.mantissa())) continue;
            const std::int32_t x = p.left + (p.right - p.left) * i / 10;
            DrawAligned(canvas, x, labelRow, FormatAxisLabel(v, step.decimals), i == 10 ? Align::Right : Align::Centre);
        }
        DrawAligned(canvas, p.right, captionRow, AxisCaption("A(", UnitPrefixLetter(step.prefixIndex), "V)"),
                    Align::Right);
    }
    if (!settings_.bRange.isOff()) {
        canvas.setTextColour(colours.channelA);
        const AxisLabelStep b = verticalLabels(settings_.bRange, settings_.bMultiplier, scrollB.position, scrollB.maximum, true);
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
    const RangeCode sourceRange = sourceA ? settings_.aRange : settings_.bRange;
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
    const bool lissajous = settings_.type == kScopeTypeXY;
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
