#pragma once
// The measured response drawn on a Canvas: magnitude (dB) above phase (degrees), both over a
// logarithmic frequency axis spanning the response's band, with the latency in the title. The
// same drawing serves pictures (tonewell-cli response --png). UI thread (the canvas's).

#include "platform/Canvas.h"
#include "response/FrequencyResponse.h"

#include <string>

namespace tonewell {

// The magnitude axis: from `low` to `high` dB in steps of `step`, at least 2 dB tall, holding
// every value given (a response within ±0.5 dB of 0 gets -1 .. 1 dB).
struct DbAxis {
    double low = -1.0;
    double high = 1.0;
    double step = 0.5;
};
DbAxis DbAxisFor(double smallest, double largest);

// "Latency 12.345 ms", with ", polarity inverted" when it is.
std::string ResponseTitle(const FrequencyResponse& response);

// Where the two panels lie on the canvas, for pointing at the plot; both empty when the canvas
// was too small or the response too short to draw.
struct ResponsePlotPanels {
    CanvasRect magnitude{0, 0, 0, 0};
    CanvasRect phase{0, 0, 0, 0};
};

ResponsePlotPanels DrawResponsePlot(Canvas& canvas, const FrequencyResponse& response);

}  // namespace tonewell
