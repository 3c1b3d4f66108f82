#include "response/ResponsePlot.h"

#include "spectrum/SpectrumAxisLabels.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace tonewell {

namespace {

constexpr Colour kBackground = MakeColour(255, 255, 255);
constexpr Colour kFrame = MakeColour(0, 0, 0);
constexpr Colour kGrid = MakeColour(200, 200, 200);
constexpr Colour kMagnitude = MakeColour(0, 0, 200);
constexpr Colour kPhase = MakeColour(190, 0, 0);
constexpr int kGap = 6;

std::string Number(double value, int decimals) {
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

// One panel: its rectangle, the value range drawn from bottom to top.
struct Panel {
    CanvasRect rect;
    double low = 0.0, high = 1.0;
    std::int32_t y(double value) const {
        const double u = (value - low) / (high - low);
        return rect.bottom - 1 - static_cast<std::int32_t>(std::lround(u * (rect.height() - 1)));
    }
};

class Plot {
public:
    Plot(Canvas& canvas, const FrequencyResponse& response) : canvas_(canvas), response_(response) {}

    ResponsePlotPanels draw() {
        const std::int32_t width = canvas_.width(), height = canvas_.height();
        canvas_.fillRectangle({0, 0, width, height}, kBackground);
        const std::int32_t line = canvas_.textExtent("0").height;
        const std::int32_t left = canvas_.textExtent("-180").width + 2 * kGap;
        const std::int32_t top = line + 2 * kGap, right = width - 2 * kGap, bottom = height - 2 * line - 2 * kGap;
        if (right - left < 20 || bottom - top < 4 * line || response_.frequencyHz.size() < 2) return {};
        canvas_.setTextColour(kFrame);
        canvas_.drawText({left, kGap}, ResponseTitle(response_));
        const std::int32_t middle = top + (bottom - top) * 3 / 5;
        const auto [smallest, largest] =
            std::minmax_element(response_.magnitudeDb.begin(), response_.magnitudeDb.end());
        const DbAxis axis = DbAxisFor(*smallest, *largest);
        magnitude_ = {{left, top + line, right, middle}, axis.low, axis.high};
        phase_ = {{left, middle + 2 * line, right, bottom}, -180.0, 180.0};
        canvas_.drawText({left, top}, "Magnitude (dB)");
        canvas_.drawText({left, middle + line}, "Phase (degrees)");
        for (const Panel* panel : {&magnitude_, &phase_}) frequencyGrid(*panel);
        for (double v = axis.low; v <= axis.high + axis.step / 2; v += axis.step)
            valueLine(magnitude_, v, Number(v, axis.step < 1.0 ? 1 : 0));
        for (int v = -180; v <= 180; v += 90) valueLine(phase_, v, std::to_string(v));
        curve(magnitude_, response_.magnitudeDb, kMagnitude, false);
        curve(phase_, response_.phaseDegrees, kPhase, true);
        const std::string caption = "Frequency (Hz)";
        canvas_.drawText({(left + right - canvas_.textExtent(caption).width) / 2, bottom + line + kGap}, caption);
        for (const Panel* panel : {&magnitude_, &phase_}) {
            canvas_.setPen(kFrame);
            canvas_.drawRectangle(panel->rect);
        }
        return {magnitude_.rect, phase_.rect};
    }

private:
    std::int32_t x(double frequency) const {
        const double u = std::log(frequency / response_.fromHz) / std::log(response_.toHz / response_.fromHz);
        return magnitude_.rect.left + static_cast<std::int32_t>(std::lround(u * (magnitude_.rect.width() - 1)));
    }

    // Lines at 1 … 9 times each power of ten inside the band; 1, 2 and 5 labelled under the phase.
    void frequencyGrid(const Panel& panel) {
        canvas_.setPen(kGrid, PenStyle::Dash);
        for (double decade = std::pow(10.0, std::floor(std::log10(response_.fromHz))); decade <= response_.toHz;
             decade *= 10.0) {
            for (int base = 1; base <= 9; ++base) {
                const double f = base * decade;
                if (f < response_.fromHz || f > response_.toHz) continue;
                canvas_.drawLine({x(f), panel.rect.top}, {x(f), panel.rect.bottom - 1});
                if (&panel != &phase_ || !IsLabelledLogBase(base)) continue;
                const std::string label = FormatLogGridLabel(std::llround(f * 100.0));
                canvas_.drawText({x(f) - canvas_.textExtent(label).width / 2, panel.rect.bottom + 2}, label);
            }
        }
    }

    void valueLine(const Panel& panel, double value, const std::string& label) {
        canvas_.setPen(kGrid, PenStyle::Dash);
        const std::int32_t y = panel.y(value);
        canvas_.drawLine({panel.rect.left, y}, {panel.rect.right - 1, y});
        const TextExtent extent = canvas_.textExtent(label);
        canvas_.drawText({panel.rect.left - extent.width - kGap / 2, y - extent.height / 2}, label);
    }

    // The values as a polyline; a phase that wraps round breaks the line instead of crossing.
    void curve(const Panel& panel, const std::vector<double>& values, Colour colour, bool wraps) {
        canvas_.setPen(colour);
        canvas_.setClip(panel.rect);
        std::vector<CanvasPoint> points;
        for (std::size_t i = 0; i < values.size(); ++i) {
            if (wraps && i > 0 && std::fabs(values[i] - values[i - 1]) > 180.0) {
                canvas_.drawPolyline(points);
                points.clear();
            }
            const double reach = panel.high - panel.low;  // off the panel is drawn just off it, clipped
            const double value = std::clamp(values[i], panel.low - reach, panel.high + reach);
            points.push_back({x(response_.frequencyHz[i]), panel.y(value)});
        }
        canvas_.drawPolyline(points);
        canvas_.clearClip();
    }

    Canvas& canvas_;
    const FrequencyResponse& response_;
    Panel magnitude_, phase_;
};

}  // namespace

DbAxis DbAxisFor(double smallest, double largest) {
    if (!std::isfinite(smallest) || !std::isfinite(largest) || smallest > largest) return {};
    const double middle = std::round(smallest + largest) / 2.0;  // on a half dB
    const double span = std::max(largest - smallest, 2.0);
    smallest = std::min(smallest, middle - span / 2), largest = std::max(largest, middle + span / 2);
    // The first step that needs at most eight divisions.
    double step = 0.5;
    for (double candidate : {0.5, 1.0, 2.0, 5.0, 10.0, 20.0, 50.0, 100.0}) {
        step = candidate;
        if ((std::ceil(largest / step) - std::floor(smallest / step)) <= 8.0) break;
    }
    return {std::floor(smallest / step) * step, std::ceil(largest / step) * step, step};
}

std::string ResponseTitle(const FrequencyResponse& response) {
    // A latency a hair below zero (a straight wire) reads 0.000, not -0.000.
    const double milliseconds = std::round(response.latencySeconds * 1e6) / 1e3 + 0.0;
    return "Latency " + Number(milliseconds, 3) + " ms" +
           (response.inverted ? ", polarity inverted" : "");
}

ResponsePlotPanels DrawResponsePlot(Canvas& canvas, const FrequencyResponse& response) {
    return Plot(canvas, response).draw();
}

}  // namespace tonewell
