#include "app/ResponseWindowModel.h"

#include "response/ResponseFiles.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace tonewell {

namespace {

constexpr Colour kBackground = MakeColour(255, 255, 255);
constexpr Colour kHint = MakeColour(90, 90, 90);
constexpr Colour kCursor = MakeColour(0, 140, 0);

// The number in the text (spaces around it allowed); nothing when there is none or more.
std::optional<double> Decimal(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return std::nullopt;
    const auto last = text.find_last_not_of(' ') + 1;
    const char* begin = text.data() + first;
    if (*begin == '+') ++begin;  // from_chars takes no plus sign
    double value = 0;
    const auto [end, error] = std::from_chars(begin, text.data() + last, value);
    if (error != std::errc() || end != text.data() + last || !std::isfinite(value)) return std::nullopt;
    return value;
}

// The value as it prints with 1/scale steps, a zero without its sign ("-0.00").
double Unsigned(double value, double scale) { return std::round(value * scale) / scale + 0.0; }

// The core's problems are worded to follow a colon; alone on a line they start with a capital.
std::string Sentence(std::string text) {
    if (!text.empty()) text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    return text;
}

}  // namespace

ResponseWindowSettings ReadResponseWindowFields(const ResponseWindowFields& fields) {
    ResponseWindowSettings read;
    SweepSettings& sweep = read.settings.sweep;
    sweep.sampleRate = kResponseWindowRate;
    const struct {
        const std::string& text;
        const char* name;
        double& value;
    } numbers[] = {{fields.fromHz, "From (Hz)", sweep.fromHz},
                   {fields.toHz, "To (Hz)", sweep.toHz},
                   {fields.seconds, "Seconds", sweep.seconds},
                   {fields.levelDbfs, "Level (dBFS)", sweep.levelDbfs}};
    for (const auto& number : numbers) {
        const std::optional<double> value = Decimal(number.text);
        if (!value) {
            read.problem = std::string(number.name) + " takes a number, not \"" + number.text + "\"";
            return read;
        }
        number.value = *value;
    }
    if (fields.inputChannel != 0 && fields.inputChannel != 1) {
        read.problem = "The input channel must be A or B";
        return read;
    }
    read.settings.inputChannel = fields.inputChannel;
    if (!(sweep.fromHz < sweep.toHz)) {
        read.problem = "From must be below To";
    } else if (!(sweep.seconds >= 1.0 && sweep.seconds <= kResponseWindowLongestSweep)) {
        // Shorter sweeps leave too little energy per octave for a clean response on a real card.
        read.problem = "The sweep must last 1 to " + std::to_string(static_cast<int>(kResponseWindowLongestSweep)) +
                       " seconds";
    } else {
        read.problem = Sentence(SweepSettingsProblem(sweep));
    }
    return read;
}

std::string MeasurementEndText(MeasurementState state, const std::string& problem, bool responseKept) {
    const std::string kept = responseKept ? "; the last measurement stays" : "";
    switch (state) {
    case MeasurementState::Finished: return "Measured";
    case MeasurementState::Cancelled: return "Cancelled" + kept;
    default: return "The measurement failed: " + problem + kept;
    }
}

ResponseWindowModel::ResponseWindowModel(AudioBackend& backend, std::function<bool()> devicesBusy)
    : measurement_(backend), devicesBusy_(std::move(devicesBusy)) {}

bool ResponseWindowModel::run() {
    if (measuring_) return false;
    const ResponseWindowSettings read = ReadResponseWindowFields(fields);
    if (!read.problem.empty()) {
        status_ = read.problem;
        return false;
    }
    if (devicesBusy_ && devicesBusy_()) {
        status_ = "Stop the output and the input monitoring first: the sweep needs both sound devices";
        return false;
    }
    if (!measurement_.start(read.settings)) {
        status_ = Sentence(measurement_.result().problem);
        return false;
    }
    measuring_ = true;
    status_ = "Measuring: the sweep plays on the output and input " + std::string(fields.inputChannel == 0 ? "A" : "B") +
              " records it";
    return true;
}

bool ResponseWindowModel::poll() {
    if (!measuring_) return false;
    const MeasurementState state = measurement_.state();
    if (measurement_.running()) {
        if (state == MeasurementState::Computing) status_ = "Computing the response";
        return false;
    }
    measuring_ = false;
    const ResponseResult& result = measurement_.result();
    if (state == MeasurementState::Finished && result.ok()) response_ = result.response;
    status_ = MeasurementEndText(state, result.problem, response_.has_value());
    return true;
}

std::string ResponseWindowModel::latencyText() const { return response_ ? ResponseTitle(*response_) : std::string(); }

std::optional<std::size_t> ResponseWindowModel::cursorIndex() const {
    if (!response_ || !cursorHz_ || response_->frequencyHz.empty()) return std::nullopt;
    // Nearest on the logarithmic axis: the grid is evenly spaced there.
    const std::vector<double>& grid = response_->frequencyHz;
    const auto above = std::lower_bound(grid.begin(), grid.end(), *cursorHz_);
    if (above == grid.begin()) return 0;
    if (above == grid.end()) return grid.size() - 1;
    const auto below = above - 1;
    const bool lower = std::log(*cursorHz_ / *below) < std::log(*above / *cursorHz_);
    return static_cast<std::size_t>((lower ? below : above) - grid.begin());
}

void ResponseWindowModel::draw(Canvas& canvas) {
    if (!response_) {
        canvas.fillRectangle({0, 0, canvas.width(), canvas.height()}, kBackground);
        const std::string hint = "No measurement yet: set the sweep and press Run";
        const TextExtent extent = canvas.textExtent(hint);
        canvas.setTextColour(kHint);
        canvas.drawText({(canvas.width() - extent.width) / 2, (canvas.height() - extent.height) / 2}, hint);
        panels_ = {};
        return;
    }
    panels_ = DrawResponsePlot(canvas, *response_);
    const std::optional<std::size_t> index = cursorIndex();
    if (!index || panels_.magnitude.width() < 2) return;
    const FrequencyResponse& r = *response_;
    const double u = std::log(r.frequencyHz[*index] / r.fromHz) / std::log(r.toHz / r.fromHz);
    const auto x = panels_.magnitude.left + static_cast<std::int32_t>(std::lround(u * (panels_.magnitude.width() - 1)));
    canvas.setPen(kCursor);
    for (const CanvasRect& panel : {panels_.magnitude, panels_.phase})
        canvas.drawLine({x, panel.top}, {x, panel.bottom - 1});
}

void ResponseWindowModel::drawPicture(Canvas& canvas) const {
    if (response_) DrawResponsePlot(canvas, *response_);
}

bool ResponseWindowModel::placeCursor(int x, int y) {
    const CanvasRect& m = panels_.magnitude;
    if (!response_ || m.width() < 2 || x < m.left || x >= m.right) return false;
    if (!m.contains({x, y}) && !panels_.phase.contains({x, y})) return false;
    const FrequencyResponse& r = *response_;
    const double u = static_cast<double>(x - m.left) / (m.width() - 1);
    cursorHz_ = r.fromHz * std::pow(r.toHz / r.fromHz, u);
    cursorHz_ = r.frequencyHz[*cursorIndex()];
    return true;
}

std::string ResponseWindowModel::cursorText() const {
    const std::optional<std::size_t> index = cursorIndex();
    if (!index) return {};
    char text[96];
    std::snprintf(text, sizeof text, "%.1f Hz, %.2f dB, %.1f deg", response_->frequencyHz[*index],
                  Unsigned(response_->magnitudeDb[*index], 100.0), Unsigned(response_->phaseDegrees[*index], 10.0));
    return text;
}

bool ResponseWindowModel::exportText(const std::filesystem::path& path) {
    return exportFinished(path, response_ && WriteResponseTable(path, *response_));
}

bool ResponseWindowModel::exportFinished(const std::filesystem::path& path, bool written) {
    if (!response_)
        status_ = "Nothing to export yet: run a measurement first";
    else
        status_ = (written ? "Exported " : "Cannot write ") + path.string();
    return response_ && written;
}

}  // namespace tonewell
