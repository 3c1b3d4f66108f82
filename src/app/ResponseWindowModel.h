#pragma once
// The "Frequency Response" window's logic: the sweep's settings as the user typed them, Run and
// Cancel of a live measurement on the program's audio backend (on the measurement's own
// thread, watched by poll()), the last measured response, which stays until another run
// succeeds, the plot with its cursor and readout, and the export of the table. The Qt window
// only shows it. UI thread; the backend must outlive the model.

#include "platform/Canvas.h"
#include "platform/audio/AudioBackend.h"
#include "response/FrequencyResponse.h"
#include "response/ResponseMeasurement.h"
#include "response/ResponsePlot.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace tonewell {

// The window measures at one rate: every sound card offers it and the band reaches 20 kHz.
inline constexpr std::uint32_t kResponseWindowRate = 48000;
// The longest sweep in whole seconds that the response's transform holds at that rate (43 s).
inline constexpr double kResponseWindowLongestSweep = static_cast<int>(kLongestSweepSamples / kResponseWindowRate);

// The settings as typed; the defaults are those of a first measurement.
struct ResponseWindowFields {
    std::string fromHz = "20";
    std::string toHz = "20000";
    std::string seconds = "5";
    std::string levelDbfs = "-12";
    int inputChannel = 0;  // 0 A, 1 B
};

// The settings read from the fields, or why they cannot be used.
struct ResponseWindowSettings {
    std::string problem;  // empty when `settings` is usable
    LiveResponseSettings settings;
};
ResponseWindowSettings ReadResponseWindowFields(const ResponseWindowFields& fields);

// What a measurement said when it ended, as the window shows it.
std::string MeasurementEndText(MeasurementState state, const std::string& problem, bool responseKept);

class ResponseWindowModel {
public:
    // devicesBusy tells whether the program's own output or capture holds the sound devices now
    // (then Run says so instead of starting); none means they are always free.
    explicit ResponseWindowModel(AudioBackend& backend, std::function<bool()> devicesBusy = {});

    ResponseWindowFields fields;

    // Starts a measurement with the fields' settings; false when it cannot start, status() says
    // why.
    bool run();
    // Asks a running measurement to stop; poll() sees it end.
    void cancel() { measurement_.cancel(); }
    // Takes the measurement's end when it has ended since the last poll: true then (the
    // window redraws and re-enables its buttons).
    bool poll();
    bool running() const { return measuring_; }
    double progress() const { return measuring_ ? measurement_.progress() : 0.0; }
    // One line about the measurement: what it does now, or how the last one ended.
    const std::string& status() const { return status_; }

    // The last successful measurement, nullptr before the first.
    const FrequencyResponse* response() const { return response_ ? &*response_ : nullptr; }
    // "Latency 1.234 ms" (with the polarity when inverted), "" before the first measurement.
    std::string latencyText() const;

    // The plot of the window: the response with the cursor, or a hint to run one.
    void draw(Canvas& canvas);
    // The plot as a picture: the response alone (nothing before the first measurement).
    void drawPicture(Canvas& canvas) const;
    // A tap at x on the last drawn plot puts the cursor on the grid frequency nearest to it;
    // false when the tap missed the panels' width (the cursor stays).
    bool placeCursor(int x, int y);
    // "1000.0 Hz, -0.02 dB, 0.3 deg" at the cursor, "" while there is none.
    std::string cursorText() const;

    // The response as the command-line tool's table; false when there is none or it cannot
    // be written (status() says which).
    bool exportText(const std::filesystem::path& path);
    // An export (the window writes the picture) has ended: the status says how; false when
    // there was nothing to export or it was not written.
    bool exportFinished(const std::filesystem::path& path, bool written);

    const ResponseMeasurement& measurement() const { return measurement_; }

private:
    std::optional<std::size_t> cursorIndex() const;

    ResponseMeasurement measurement_;
    std::function<bool()> devicesBusy_;
    bool measuring_ = false;
    std::string status_ = "Set the sweep and press Run";
    std::optional<FrequencyResponse> response_;
    std::optional<double> cursorHz_;
    ResponsePlotPanels panels_;
};

}  // namespace tonewell
