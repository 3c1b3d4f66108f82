#include "spectrum/CSpectrumView.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <optional>
#include <string>
#include <utility>

#include "shared/AxisLabels.h"
#include "shared/LeadingInteger.h"
#include "shared/NumberFormat.h"
#include "spectrum/SpectrumAxisLabels.h"
#include "spectrum/SpectrumReadouts.h"

namespace tonewell {

namespace {

constexpr double kSqrt2 = 1.4142135623730951;
// Keeps the logarithm of a silent bin finite.
constexpr double kTinyAmplitude = 1e-200;
// Added before truncating a position, so that one computed a hair short of a whole pixel (a
// peak on the top edge) lands on it.
constexpr double kRowRounding = 0.00001;

const char* TitleOf(SpectrumType type, bool normalized) {
    switch (type) {
        case SpectrumType::Amplitude: return normalized ? "AMPLITUDE SPECTRUM   " : "RMS AMPLITUDE SPECTRUM         ";
        case SpectrumType::Phase: return "PHASE SPECTRUM";
        case SpectrumType::AutoCorrelation: return "AUTO CORRELATION";
        case SpectrumType::CrossCorrelation: return "CROSS CORRELATION";
    }
    return "";
}

}  // namespace

CSpectrumView::CSpectrumView(const SpectrumViewParts& parts)
    : PlotView(kSpectrumScrollBarAId, kSpectrumScrollBarBId, parts.redraw.spectrumPendingDraws, parts.shell),
      parts_(parts),
      analysis_(parts.analysis) {}

// ---- record facts ---------------------------------------------------------------------------

bool CSpectrumView::recordHasA() const {
    return parts_.document.samplingType == kSamplingTypeA || parts_.document.samplingType == kSamplingTypeAB;
}

bool CSpectrumView::recordHasB() const {
    return parts_.document.samplingType == kSamplingTypeB || parts_.document.samplingType == kSamplingTypeAB;
}

double CSpectrumView::sampleInterval() const {
    return SpectrumSampleInterval(parts_.document, parts_.acquisition.samplingRate);
}

double CSpectrumView::samplingFrequency() const {
    const double interval = sampleInterval();
    return interval > 0.0 ? 1.0 / interval : 0.0;
}

bool CSpectrumView::logAxis() const {
    return settings_.scales.xScale == SpectrumXScale::Log && settings_.type == SpectrumType::Amplitude;
}

bool CSpectrumView::dbAxis() const {
    return settings_.scales.yScale == SpectrumYScale::Db && settings_.type == SpectrumType::Amplitude;
}

bool CSpectrumView::normalizedAxis() const { return settings_.scales.normalized && settings_.type == SpectrumType::Amplitude; }

double CSpectrumView::channelPeak(int channel) const {
    const double peak = channel == 0 ? analysis_.peakValueA() : analysis_.peakValueB();
    // A silent channel has no peak to scale by: its trace lies on the zero line.
    return peak > 0.0 && std::isfinite(peak) ? peak : 0.0;
}

// ---- settings -------------------------------------------------------------------------------

void CSpectrumView::apply(const SpectrumSettings& settings) {
    settings_ = settings;
    analysis_.setSpectrumType(settings_.type);
    analysis_.setWindowType(settings_.window);
    // setFftSize reports a size it cannot allocate; the view then computes nothing until the
    // next change asks again.
    if (settings_.fftSize != analysis_.fftSize()) analysis_.setFftSize(settings_.fftSize);
    frame_.rescale(settings_.xMultiplier, settings_.yMultiplierA, settings_.yMultiplierB);
    for (PlotCursor& cursor : cursors_) {
        if ((cursor.channel == CursorChannel::A && settings_.yRangeA.isOff()) ||
            (cursor.channel == CursorChannel::B && settings_.yRangeB.isOff()))
            cursor.clear();
    }
    analysis_.spectrumDirty = true;
    invalidate();
}

void CSpectrumView::setReadout(MeasurementReadout readout) {
    readout_ = std::move(readout);
    invalidate();
}

bool CSpectrumView::reset() {
    ClearCursors(cursors_);
    if (!resetPicture()) return false;
    analysis_.spectrumDirty = true;
    invalidate();
    return true;
}

// ---- taps -----------------------------------------------------------------------------------

void CSpectrumView::OnLButtonDown(std::int32_t x, std::int32_t y, bool secondCursor) {
    const bool scopeXY = frameHooks_ && frameHooks_->scopeType() == kScopeTypeXY;
    switch (TapAreaOf(plot(), x, y)) {
        case TapArea::Plot:
            if (PlotCursor* cursor = placeCursor(secondCursor, x, y, !showA(), !showB() || scopeXY)) {
                cursor->xValue = PixelToX(x);
                cursor->yValue = PixelToY(cursor->onA() ? 0 : 1, y);
            }
            break;
        case TapArea::AboveLeft:
            if (showA()) cursorChannel_ = 0;
            break;
        case TapArea::AboveRight:
            if (showB() && !scopeXY) cursorChannel_ = 1;
            break;
        case TapArea::Above:
        case TapArea::Elsewhere: ClearCursors(cursors_); break;
    }
    invalidate();
}

void CSpectrumView::OnLButtonDblClk(std::int32_t x, std::int32_t y) {
    if (parts_.run.inputRunning.load() || settings_.type != SpectrumType::Amplitude || !frameHooks_) return;
    const PlotRect& p = plot();
    if (y > p.bottom)
        frameHooks_->openXScaleDialog();
    else if (x < p.left || x > p.right)
        frameHooks_->openYScaleDialog();
}

// ---- scales ---------------------------------------------------------------------------------

double CSpectrumView::XAxis::indexAt(double x) const {
    if (log) return std::pow(10.0, (x + offset) * step);
    if (correlation) return (x + offset - centre) * step + centreIndex;
    return (x + offset) * step;
}

double CSpectrumView::XAxis::columnOf(double index) const {
    if (log) return std::log10(index) / step - offset;
    if (correlation) return (index - centreIndex) / step + centre - offset;
    return index / step - offset;
}

CSpectrumView::XAxis CSpectrumView::xAxis() const {
    XAxis axis;
    const double w = plot().width();
    const double z = std::max<std::uint32_t>(settings_.xMultiplier, 1);
    const double r = settings_.xRange.value() * (settings_.xRange.symmetric() ? 2.0 : 1.0);
    const ScrollRange h = frame_.horizontalScroll();
    const double fraction = h.maximum > 0 ? static_cast<double>(h.position) / h.maximum : 0.0;
    const double n = settings_.fftSize;
    const double ts = sampleInterval();
    axis.width = w;
    axis.offset = fraction * (z - 1.0) * w;
    if (!(r > 0.0) || !(n >= 4.0) || !(ts > 0.0) || !(w > 0.0)) return axis;
    if (logAxis()) {
        const double fs = 1.0 / ts;
        axis.log = true;
        axis.firstFrequency = fs / n;
        // The axis starts half a bin up, so that bin 1 sits a little way in from the left edge.
        axis.step = (std::log10(r) - std::log10(fs / (2.0 * n))) / (w * z);
    } else if (IsCorrelation(settings_.type)) {
        axis.correlation = true;
        axis.step = r / (w * z) / ts;
        axis.centre = z * w / 2.0;
        axis.centreIndex = static_cast<double>(SpectrumPointCount(settings_.type, settings_.fftSize) / 2);
        axis.unitsPerPixel = r / (z * w);
    } else {
        axis.step = r / (w * z) * n * ts;
        axis.unitsPerPixel = r / (z * w);
    }
    axis.valid = axis.step > 0.0 && std::isfinite(axis.step);
    return axis;
}

CSpectrumView::YAxis CSpectrumView::yAxis(int channel) const {
    YAxis axis;
    const bool isA = channel == 0;
    const RangeCode code = isA ? settings_.yRangeA : settings_.yRangeB;
    const double m = EffectiveMultiplier(isA ? settings_.yMultiplierA : settings_.yMultiplierB);
    const ScrollRange scroll = frame_.valueScroll(channel);
    const double position = scroll.position;
    const std::int32_t maximum = scroll.maximum;
    const double h = plot().height();
    const double top = plot().top;
    // The scroll offset of the view's centre, in pixels.
    const double c = maximum > 0 ? (position - maximum / 2) / maximum * (m + 1.0) * h : 0.0;
    if (dbAxis()) {
        axis.db = true;
        axis.scale = m * h * 0.01;
        if (normalizedAxis()) {
            const double peak = channelPeak(channel);
            axis.dbOffset = -20.0 * std::log10(peak > 0.0 ? peak : 1.0);
            axis.origin = (1.0 - m) * h / 2.0 + top - c;
        } else {
            // Decibels of a sine of 1 V peak; the range's value in those terms is the top edge.
            axis.dbOffset = 20.0 * std::log10(kSqrt2);
            axis.origin = 20.0 * std::log10(kSqrt2 * code.value()) * axis.scale + (1.0 - m) * h / 2.0 + top - c;
        }
        return axis;
    }
    if (normalizedAxis()) {
        const double peak = channelPeak(channel);
        axis.normalized = true;
        axis.perUnit = m * h;
        axis.scale = peak > 0.0 ? m * h / peak : 0.0;
        axis.origin = top + (m + 1.0) * h / 2.0 - c;
        return axis;
    }
    const double v = code.value();
    if (code.symmetric()) {
        axis.scale = m * h / (2.0 * v);
        axis.origin = top + h / 2.0 - c;
    } else {
        axis.scale = m * h / v;
        axis.origin = top + (m + 1.0) * h / 2.0 - c;
    }
    return axis;
}

float CSpectrumView::PixelToX(std::int32_t x) const {
    const XAxis axis = xAxis();
    if (!axis.valid) return 0.0f;
    const double column = x - plot().left;
    if (axis.log) return static_cast<float>(axis.indexAt(column) * axis.firstFrequency);
    if (axis.correlation) return static_cast<float>((column + axis.offset - axis.centre) * axis.unitsPerPixel);
    return static_cast<float>((column + axis.offset) * axis.unitsPerPixel);
}

std::int32_t CSpectrumView::XToPixel(float value) const {
    const XAxis axis = xAxis();
    if (!axis.valid) return TruncatePixel(-kPixelLimit);
    double column;
    if (axis.log) {
        if (!(value > 0.0f)) return TruncatePixel(-kPixelLimit);
        column = axis.columnOf(value / axis.firstFrequency);
    } else if (axis.correlation) {
        column = value / axis.unitsPerPixel + axis.centre - axis.offset;
    } else {
        column = value / axis.unitsPerPixel - axis.offset;
    }
    return TruncatePixel(column + plot().left + kRowRounding);
}

float CSpectrumView::PixelToY(int channel, std::int32_t y) const {
    const YAxis axis = yAxis(channel);
    if (axis.db) {
        const double db = (axis.origin - y) / axis.scale;
        return static_cast<float>(std::pow(10.0, db / 20.0) / kSqrt2);
    }
    if (axis.normalized) return static_cast<float>((axis.origin - y) / axis.perUnit);
    return static_cast<float>((axis.origin - y) / axis.scale);
}

std::int32_t CSpectrumView::YToPixel(int channel, float value) const {
    const YAxis axis = yAxis(channel);
    if (axis.db) {
        if (!(value > 0.0f)) return TruncatePixel(kPixelLimit);
        return TruncatePixel(axis.origin - 20.0 * std::log10(kSqrt2 * value) * axis.scale + kRowRounding);
    }
    if (axis.normalized) return TruncatePixel(axis.origin - value * axis.perUnit + kRowRounding);
    return TruncatePixel(axis.origin - value * axis.scale + kRowRounding);
}

std::int32_t CSpectrumView::ResultToPixel(int channel, float value) const {
    const YAxis axis = yAxis(channel);
    if (axis.db)
        return TruncatePixel(axis.origin - (20.0 * std::log10(value + kTinyAmplitude) + axis.dbOffset) * axis.scale +
                             kRowRounding);
    return TruncatePixel(axis.origin - value * axis.scale + kRowRounding);
}

// ---- points ---------------------------------------------------------------------------------

std::uint32_t CSpectrumView::fillPoints(CanvasPoint* out, int channel, const XAxis& x) const {
    const std::span<const float> result = channel == 0 ? analysis_.resultA() : analysis_.resultB();
    const std::int64_t p = std::min<std::int64_t>(analysis_.pointCount(), static_cast<std::int64_t>(result.size()));
    if (p < 2) return 0;
    const float* v = result.data();
    const std::int32_t left = plot().left;
    const std::int32_t right = plot().right;
    const std::int32_t w = plot().width();
    const std::uint32_t capacity = points_.capacity();
    const YAxis y = yAxis(channel);
    // Phases of neighbouring bins have nothing in common; every other result keeps its peaks.
    const bool keepPeaks = settings_.type != SpectrumType::Phase;
    const auto interpolated = [&](double u) {
        const std::int64_t i0 = static_cast<std::int64_t>(u);
        const double v0 = v[i0];
        return v0 + (u - static_cast<double>(i0)) * (static_cast<double>(v[i0 + 1]) - v0);
    };

    // One loop per way of mapping a value to a row, so the inner loops do no choosing.
    const auto fill = [&](auto row) -> std::uint32_t {
        std::uint32_t count = 0;
        if (onePointPerColumn_) {
            double next = x.indexAt(0);
            for (std::int32_t c = 0; c < w && count < capacity; ++c) {
                const double u = next;
                next = x.indexAt(c + 1);
                if (!(u >= 0.0)) continue;
                if (u >= static_cast<double>(p - 1)) break;
                double value = interpolated(u);
                if (keepPeaks) {
                    // The largest magnitude among the points this column stands for, so that a
                    // narrow peak between two columns is not lost.
                    const std::int64_t end = std::min<std::int64_t>(p - 1, static_cast<std::int64_t>(std::ceil(std::min(next, static_cast<double>(p)))) - 1);
                    for (std::int64_t i = static_cast<std::int64_t>(u) + 1; i <= end; ++i)
                        if (std::fabs(v[i]) > std::fabs(value)) value = v[i];
                }
                out[count++] = {left + c, row(value)};
            }
            return count;
        }
        const double u0 = x.indexAt(0);
        std::int64_t first = 0;
        if (u0 >= 0.0) {
            if (!(u0 < static_cast<double>(p - 1))) return 0;
            out[count++] = {left, row(interpolated(u0))};
            first = static_cast<std::int64_t>(u0) + 1;
        }
        // A panned correlation axis that starts before the first lag starts with point 0.
        for (std::int64_t i = first; i < p && count < capacity; ++i) {
            const std::int32_t column = TruncatePixel(left + x.columnOf(static_cast<double>(i)));
            out[count++] = {column, row(v[i])};
            if (column > right) break;  // one point past the edge carries the line to it
        }
        return count;
    };
    if (y.db) {
        const double origin = y.origin, scale = y.scale, offset = y.dbOffset;
        return fill([=](double value) {
            return TruncatePixel(origin - (20.0 * std::log10(value + kTinyAmplitude) + offset) * scale + kRowRounding);
        });
    }
    const double origin = y.origin, scale = y.scale;
    return fill([=](double value) { return TruncatePixel(origin - value * scale + kRowRounding); });
}

void CSpectrumView::computePoints() {
    points_.clearCounts();
    onePointPerColumn_ = false;
    const bool a = showA();
    const bool b = showB();
    const CSignalDoc& doc = parts_.document;
    if ((!a && !b) || doc.sampleCount == 0 || !analysis_.ready()) return;

    for (int attempt = 0; attempt < 2; ++attempt) {
        analysis_.UpdateSpectra(doc, doc.dcOffsets, a, b, parts_.configuration.removeDcInSpectrum);
        const XAxis x = xAxis();
        if (!x.valid) return;
        const double p = analysis_.pointCount();
        const double z = std::max<std::uint32_t>(settings_.xMultiplier, 1);
        const double w = x.width;
        const double n = settings_.fftSize;
        const double fs = samplingFrequency();
        const double r = settings_.xRange.value() * (settings_.xRange.symmetric() ? 2.0 : 1.0);
        // The fraction of the whole axis the results cover.
        double covered;
        if (x.log)
            covered = std::log10(n) / (std::log10(r) - std::log10(fs / (2.0 * n)));
        else if (x.correlation)
            covered = n / fs / r;
        else
            covered = fs / 2.0 / r;
        onePointPerColumn_ = p > 4.0 * z * w * covered && parts_.configuration.onePointPerRaster != 0;
        // The points between the plot's edges, one before and one past them.
        double wanted = w;
        if (!onePointPerColumn_) {
            const double first = std::clamp(std::floor(x.indexAt(0.0)), 0.0, p);
            const double last = std::clamp(std::ceil(x.indexAt(w)), 0.0, p);
            wanted = std::min(p, last - first + 3.0);
        }
        const PointRoom room = roomForPoints(wanted, parts_.configuration.onePointPerRaster);
        if (room == PointRoom::None) return;
        if (room == PointRoom::Retry) continue;
        if (a) points_.setCount(0, fillPoints(points_.data(0), 0, x));
        if (b) points_.setCount(1, fillPoints(points_.data(1), 1, x));
        return;
    }
}

// ---- drawing --------------------------------------------------------------------------------


void CSpectrumView::prepare(const Canvas& canvas) {
    character_ = canvas.textExtent("A");
    PlotMargins margins;
    margins.barA = settings_.yMultiplierA >= 1 && showA();
    margins.barB = settings_.yMultiplierB >= 1 && showB();
    margins.labelsLeft = showA();
    margins.labelsRight = showB();
    margins.twoReadoutRows = showA() && showB();
    margins.measurementRows = static_cast<std::int32_t>(measurementLines().size());
    frame_.layout(canvas.width(), canvas.height(), character_, settings_.xMultiplier, margins);
    // A record that changed since the last pass is analysed again.
    if (parts_.document.revision() != analysedRevision_) {
        analysedRevision_ = parts_.document.revision();
        analysis_.spectrumDirty = true;
    }
    computePoints();
    for (PlotCursor& cursor : cursors_) {
        if (!cursor.set()) continue;
        cursor.x = XToPixel(cursor.xValue);
        cursor.y = YToPixel(cursor.onA() ? 0 : 1, cursor.yValue);
    }
}

void CSpectrumView::draw(Canvas& canvas) const {
    const PlotColours colours = PlotColours::Of(parts_.configuration);
    canvas.clearClip();
    canvas.fillRectangle({0, 0, canvas.width(), canvas.height()}, colours.background);
    // The dB and logarithmic grids replace the even lines of their axes.
    DrawQuarterGrid(canvas, plot(), colours.grid, !dbAxis(), !logAxis());
    if (dbAxis()) drawDbGrid(canvas, colours);
    if (logAxis()) drawLogGrid(canvas, colours);
    drawPointTraces(canvas, colours);
    canvas.setTextColour(colours.otherText);
    drawXLabels(canvas, colours);
    drawTitle(canvas, colours);
    drawYLabels(canvas, colours);
    if (!cursors_[0].set() && !cursors_[1].set()) drawPeakReadouts(canvas, colours);
    drawMeasurementLines(canvas, colours);
    DrawCursorCrosses(canvas, plot(), cursors_, colours, {true, true, 2});
    drawCursorReadout(canvas, colours);
}

void CSpectrumView::drawSideText(Canvas& canvas, int channel, std::int32_t y, const std::string& text) const {
    const std::int32_t width = canvas.textExtent(text).width;
    // Half a character off the frame, so that the minus of a label on a dB line does not read as
    // the line going on; inside the picture when the margin is narrower than the text.
    const std::int32_t gap = std::max(2, character_.width / 2);
    const CanvasRect& client = frame_.clientRect();
    if (channel == 0)
        canvas.drawText({std::max(client.left, plot().left - gap - width), y}, text);
    else
        canvas.drawText({std::min(client.right - width, plot().right + gap), y}, text);
}

void CSpectrumView::drawDbGrid(Canvas& canvas, const PlotColours& colours) const {
    const PlotRect& p = plot();
    // With both channels magnified each one's lines are short ticks on its own side.
    const bool ticks = showA() && showB() && settings_.yMultiplierA >= 1 && settings_.yMultiplierB >= 1;
    for (int channel = 0; channel < 2; ++channel) {
        if (!(channel == 0 ? showA() : showB())) continue;
        const YAxis y = yAxis(channel);
        const std::uint32_t multiplier = channel == 0 ? settings_.yMultiplierA : settings_.yMultiplierB;
        const int step = DbGridStep(static_cast<int>(multiplier));
        const int first = FirstDbGridLine((y.origin - p.top) / y.scale, step);
        for (int k = 0; k < kDbGridLines; ++k) {
            const int db = first - k * step;
            const std::int32_t row = TruncatePixel(y.origin - db * y.scale);
            if (row < p.top || row > p.bottom) continue;
            canvas.setPen(colours.grid, PenStyle::Solid);
            if (!ticks)
                canvas.drawLine({p.left, row}, {p.right, row});
            else if (channel == 0)
                canvas.drawLine({p.left, row}, {p.left + 5, row});
            else
                canvas.drawLine({p.right - 5, row}, {p.right, row});
            canvas.setTextColour(colours.otherText);
            const std::string text = FormatDbLabel(db);
            drawSideText(canvas, channel, row - character_.height / 2, text);
        }
    }
}

void CSpectrumView::drawLogGrid(Canvas& canvas, const PlotColours& colours) const {
    const XAxis x = xAxis();
    if (!x.valid) return;
    const PlotRect& p = plot();
    const std::int32_t labelRow = LabelRow(p, character_.height);
    const LogGridPlan plan = LogGridFor(x.firstFrequency);
    for (int base : plan.bases) {
        // Twenty decades are more than any plot shows.
        for (int decade = 0; decade < 20; ++decade) {
            const double frequency = base * std::pow(10.0, plan.exponent + decade);
            const std::int32_t column = TruncatePixel(p.left + x.columnOf(frequency / x.firstFrequency));
            if (column > p.right) break;
            if (column < p.left) continue;
            canvas.setPen(colours.grid, PenStyle::Solid);
            canvas.drawLine({column, p.top}, {column, p.bottom});
            if (IsLabelledLogBase(base)) {
                canvas.setTextColour(colours.otherText);
                DrawAligned(canvas, column, labelRow, FormatLogGridLabel(std::llround(frequency * 100.0)), Align::Centre);
            }
        }
    }
}

void CSpectrumView::drawXLabels(Canvas& canvas, const PlotColours& colours) const {
    const PlotRect& p = plot();
    const std::int32_t labelRow = LabelRow(p, character_.height);
    const std::int32_t captionRow = CaptionRow(p, character_.height);
    const bool correlation = IsCorrelation(settings_.type);
    const Align captionAlign = showB() ? Align::Centre : Align::Right;
    canvas.setTextColour(colours.otherText);
    if (logAxis()) {
        // The labelled lines of the grid carry the values.
        DrawAligned(canvas, p.right, captionRow, "Hz", captionAlign);
        return;
    }
    const RangeCode code = settings_.xRange;
    const int z = static_cast<int>(std::max<std::uint32_t>(settings_.xMultiplier, 1));
    const AxisLabelStep step =
        AxisLabelStepFor(code.symmetric() ? 2 * code.mantissa() : code.mantissa(), code.prefixIndex(), z);
    for (int i = 0; i <= 10; i += 5) {
        const std::int32_t x = p.left + (p.right - p.left) * i / 10;
        const std::int64_t v = HorizontalLabelHundredths(step, frame_.horizontalScroll().position, i, z, code.symmetric());
        Align align = Align::Centre;
        if (i == 0 && !showA()) align = Align::Left;
        if (i == 10 && !showB()) align = Align::Right;
        DrawAligned(canvas, x, labelRow, FormatAxisLabel(v, step.decimals), align);
    }
    DrawAligned(canvas, p.right, captionRow, AxisCaption("", UnitPrefixLetter(step.prefixIndex), correlation ? "s" : "Hz"),
                captionAlign);
}

void CSpectrumView::drawYLabels(Canvas& canvas, const PlotColours& colours) const {
    const PlotRect& p = plot();
    const SpectrumType type = settings_.type;
    // Above the labels, but inside the picture when the top margin is narrow.
    const std::int32_t headingRow = std::max(frame_.clientRect().top, p.top - character_.height - 5);
    canvas.setTextColour(colours.otherText);
    for (int channel = 0; channel < 2; ++channel) {
        if (!(channel == 0 ? showA() : showB())) continue;
        const bool left = channel == 0;
        const auto place = [&](std::int32_t y, const std::string& text) { drawSideText(canvas, channel, y, text); };
        const std::string name = left ? "A" : "B";
        if (dbAxis()) {
            // The dB grid carries the values.
            place(headingRow, name + "(dB)");
            continue;
        }
        const RangeCode code = left ? settings_.yRangeA : settings_.yRangeB;
        const int m = static_cast<int>(left ? settings_.yMultiplierA : settings_.yMultiplierB);
        const std::int32_t position = frame_.valueScroll(channel).position;
        const std::int32_t maximum = frame_.valueScroll(channel).maximum;
        const AxisLabelStep step =
            AxisLabelStepFor(code.symmetric() ? 2 * code.mantissa() : code.mantissa(), code.prefixIndex(), m);
        const bool thousandths = normalizedAxis() || (IsCorrelation(type) && step.lowered > 0);
        for (int i = 0; i <= 10; i += 5) {
            const std::int64_t v = VerticalLabelHundredths(step, position, maximum, i, m, code.symmetric());
            if (!AxisLabelWithinRange(v, step.lowered, code.mantissa())) continue;
            const std::string text = !thousandths ? FormatAxisLabel(v, step.decimals)
                                                  : FormatThousandthsLabel(step.lowered > 0 ? v / 100 : v * 10);
            place(p.top + (p.bottom - p.top) * i / 10 - character_.height / 2, text);
        }
        const char prefix = UnitPrefixLetter(step.prefixIndex);
        std::string heading;
        switch (type) {
            case SpectrumType::Amplitude:
                heading = normalizedAxis() ? name : AxisCaption(name + "(", prefix, "V)");
                break;
            case SpectrumType::Phase: heading = AxisCaption(name + "(", prefix, "D)"); break;
            case SpectrumType::AutoCorrelation: heading = name; break;
            case SpectrumType::CrossCorrelation: heading = "AB"; break;
        }
        place(headingRow, heading);
    }
}

void CSpectrumView::drawTitle(Canvas& canvas, const PlotColours& colours) const {
    const CSignalDoc& doc = parts_.document;
    std::string title = TitleOf(settings_.type, normalizedAxis());
    if (doc.displayNotes && !doc.notes.empty()) title += ":" + doc.notes;
    const PlotRect& p = plot();
    canvas.setTextColour(colours.otherText);
    DrawAligned(canvas, (p.left + p.right) / 2, CaptionRow(p, character_.height), title, Align::Centre);
}

void CSpectrumView::drawPeakReadouts(Canvas& canvas, const PlotColours& colours) const {
    const PlotRect& p = plot();
    const bool eitherOff = !showA() || !showB();
    const std::int32_t centre = (p.left + p.right) / 2;
    if (showA() && points_.count(0) > 1) {
        for (const std::string& text : SpectrumPeakReadouts(analysis_, true, false)) {
            canvas.setTextColour(colours.channelA);
            // With both channels shown the two readouts share the top margin; A's stays inside the
            // picture.
            const std::int32_t row = ReadoutRow(p, character_.height, 0, eitherOff);
            DrawAligned(canvas, centre, eitherOff ? row : std::max(0, row), text, Align::Centre);
        }
    }
    if (showB() && points_.count(1) > 1) {
        for (const std::string& text : SpectrumPeakReadouts(analysis_, false, true)) {
            canvas.setTextColour(colours.channelB);
            DrawAligned(canvas, centre, ReadoutRow(p, character_.height, 1, eitherOff), text, Align::Centre);
        }
    }
}

std::vector<int> CSpectrumView::measurementLines() const {
    std::vector<int> channels;
    if (settings_.type != SpectrumType::Amplitude) return channels;
    if (showA() && readout_.hasLine(0)) channels.push_back(0);
    if (showB() && readout_.hasLine(1)) channels.push_back(1);
    return channels;
}

void CSpectrumView::drawMeasurementLines(Canvas& canvas, const PlotColours& colours) const {
    const PlotRect& p = plot();
    std::int32_t row = frame_.clientRect().top;
    for (const int channel : measurementLines()) {
        canvas.setTextColour(colours.channel(channel));
        DrawAligned(canvas, (p.left + p.right) / 2, row, SpectrumReadoutLine(channel, readout_.channel(channel)),
                    Align::Centre);
        row += character_.height;
    }
}

void CSpectrumView::drawCursorReadout(Canvas& canvas, const PlotColours& colours) const {
    const PlotRect& p = plot();
    const PlotCursor& first = cursors_[0];
    const PlotCursor& second = cursors_[1];
    if (!first.set() && !second.set()) return;
    const SpectrumType type = settings_.type;
    const bool db = dbAxis();
    const bool volts = type == SpectrumType::Amplitude && !db && !normalizedAxis();
    const char* unit = "";
    if (type == SpectrumType::Amplitude) unit = db ? "dB" : (normalizedAxis() ? "" : "V");
    if (type == SpectrumType::Phase) unit = "D";
    // On a dB axis a value is shown as the decibels of its amplitude.
    const auto shown = [&](const PlotCursor& cursor) {
        return db ? static_cast<float>(20.0 * std::log10(2.0 * cursor.yValue / kSqrt2)) : cursor.yValue;
    };
    const auto yText = [&](float value) { return volts ? FormatEngineering(value) : FormatFixed3(value); };
    const auto channelColour = [&](const PlotCursor& cursor) {
        return cursor.onA() ? colours.channelA : colours.channelB;
    };
    const bool correlation = IsCorrelation(type);
    std::string text;
    if (first.set() && second.set()) {
        canvas.setTextColour(first.channel == second.channel ? channelColour(first) : colours.otherText);
        const std::string dx = FormatEngineering(second.xValue - first.xValue);
        const std::string dy = yText(shown(second) - shown(first)) + unit;
        if (correlation)
            text = "T2-T1=" + dx + "s;R2-R1=" + dy;
        else
            text = "F2-F1=" + dx + "Hz;" + (type == SpectrumType::Phase ? "P2-P1=" : "V2-V1=") + dy;
    } else {
        const PlotCursor& only = first.set() ? first : second;
        canvas.setTextColour(channelColour(only));
        text = FormatEngineering(only.xValue) + (correlation ? "s " : "Hz ") + yText(shown(only)) + unit;
    }
    DrawAligned(canvas, (p.left + p.right) / 2, p.top - character_.height, text, Align::Centre);
}

}  // namespace tonewell
