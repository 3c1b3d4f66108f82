// measure: the tone in each channel of a record: frequency, level, THD, THD+N, SINAD, SNR and
// ENOB as key=value lines.

#include "main/cli/Commands.h"

#include "acquisition/WaveDocumentReader.h"
#include "measurement/ToneMeasurement.h"
#include "platform/FileByteReader.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace tonewell::cli {
namespace {

// A decimal number for an option, or a usage error naming it.
double Number(const std::string& what, const std::string& text) {
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || end != text.c_str() + text.size() || !std::isfinite(value))
        throw UsageError{what + " takes a number, not \"" + text + "\""};
    return value;
}

MeasurementSettings SettingsOf(const Arguments& arguments) {
    MeasurementSettings settings;
    if (auto text = arguments.get("fundamental")) {
        settings.fundamental = Number("--fundamental", *text);
        if (settings.fundamental <= 0.0) throw UsageError{"--fundamental takes a frequency above 0 Hz"};
    }
    if (auto text = arguments.get("band")) {
        const std::size_t colon = text->find(':');
        if (colon == std::string::npos) throw UsageError{"--band takes LOW:HIGH in Hz, not \"" + *text + "\""};
        settings.bandLow = Number("--band", text->substr(0, colon));
        settings.bandHigh = Number("--band", text->substr(colon + 1));
        if (settings.bandLow < 0.0 || settings.bandHigh <= settings.bandLow)
            throw UsageError{"--band takes LOW:HIGH with 0 <= LOW < HIGH"};
    }
    if (auto text = arguments.get("harmonics")) {
        const std::int64_t harmonics = WholeNumber("--harmonics", *text);
        if (harmonics < 2 || harmonics > kMaximumMeasuredHarmonics)
            throw UsageError{"--harmonics takes 2 to " + std::to_string(kMaximumMeasuredHarmonics)};
        settings.harmonics = static_cast<int>(harmonics);
    }
    if (auto text = arguments.get("clock-ppm")) {
        settings.clockPpm = Number("--clock-ppm", *text);
        if (std::fabs(settings.clockPpm) >= 100000.0) throw UsageError{"--clock-ppm takes -100000 < PPM < 100000"};
    }
    return settings;
}

std::string Fixed(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

void Print(const ChannelMeasurement& m, const char* channel) {
    std::cout << "frequency" << channel << "=" << Fixed("%.4f", m.frequency) << "\n"
              << "level" << channel << "=" << Fixed("%.7g", m.level) << "\n"
              << "thd" << channel << "=" << Fixed("%.4f", m.thd) << "\n"
              << "thdPercent" << channel << "=" << Fixed("%.7g", m.thdPercent) << "\n"
              << "thdn" << channel << "=" << Fixed("%.4f", m.thdn) << "\n"
              << "sinad" << channel << "=" << Fixed("%.4f", m.sinad) << "\n"
              << "snr" << channel << "=" << Fixed("%.4f", m.snr) << "\n"
              << "enob" << channel << "=" << Fixed("%.4f", m.enob) << "\n";
}

int RunMeasure(const Arguments& arguments) {
    const MeasurementSettings settings = SettingsOf(arguments);
    // The record as File > Open reads it, without the instrument around it: the statistics and
    // the toolbars play no part here.
    FileByteReader reader;
    SignalRecord record;
    if (!reader.open(arguments.file)) {
        std::cerr << "tonewell-cli: cannot open " << arguments.file << "\n";
        return kExitRefused;
    }
    const WaveReadResult read = ReadWaveDocument(reader, record);
    for (const std::string& message : read.messages) std::cerr << message << "\n";
    if (!read.accepted) {
        if (read.messages.empty()) std::cerr << "tonewell-cli: cannot open " << arguments.file << "\n";
        return kExitRefused;
    }

    ToneMeter meter;
    const RecordMeasurement measured = meter.measure(record, settings);
    int status = kExitOk;
    for (const auto& [m, channel] : {std::pair{&measured.a, "A"}, std::pair{&measured.b, "B"}}) {
        if (m->status == MeasurementStatus::Absent) continue;
        if (m->status == MeasurementStatus::Measured) {
            Print(*m, channel);
            continue;
        }
        std::cerr << "tonewell-cli: " << arguments.file << ": channel " << channel << " is "
                  << MeasurementStatusText(m->status) << "\n";
        status = kExitRefused;
    }
    return status;
}

}  // namespace

Command MeasureCommand() {
    return {{"measure", "FILE.wav",
      "Measures the tone in each channel of a record: the fundamental (the strongest component in\n"
      "the band, or the one given) and its frequency over the whole record, its RMS level in volts,\n"
      "THD over harmonics 2..N below the band's top, THD+N, SINAD and SNR band-limited to the band,\n"
      "and ENOB, as key=value lines per channel (frequencyA, levelA, thdA, thdPercentA, thdnA,\n"
      "sinadA, snrA, enobA, then B) in Hz, V, dB, %, dB, dB, dB and bits. A channel too short or\n"
      "silent to measure is named on stderr and the exit status is 1.",
      {{"fundamental", "HZ", {}, false, "the fundamental near this frequency (default: the strongest)"},
       {"band", "LOW:HIGH", {}, false, "band in Hz (default 20:20000, at most half the sampling rate)"},
       {"harmonics", "N", {}, false, "highest harmonic counted, 2..50 (default 10)"},
       {"clock-ppm", "PPM", {}, false,
        "sampling clock correction in parts per million, applied to the frequency;\n"
        "                            find it by measuring a known reference with 0:\n"
        "                            PPM = (reference / reading - 1) x 1000000"}}},
     RunMeasure};
}

}  // namespace tonewell::cli
