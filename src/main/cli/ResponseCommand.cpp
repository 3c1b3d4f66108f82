// response: the frequency response of a system from a stimulus and its recorded answer, or
// measured live with a sweep on the sound card; a text table, and optionally a picture and the
// impulse response.

#include "main/cli/Commands.h"

#include "acquisition/WaveDocumentReader.h"
#include "platform/FileByteReader.h"
#include "platform/audio/AudioBackendSelection.h"
#include "response/ResponseFiles.h"
#include "response/ResponseMeasurement.h"
#include "response/ResponsePlot.h"

#ifdef TONEWELL_HAVE_PICTURES
#include "platform/qt/CanvasPicture.h"
#endif

#include <charconv>
#include <cmath>
#include <cstdio>

namespace tonewell::cli {
namespace {

// The options that belong to one way of measuring only.
const std::vector<std::string> kLiveOnlyOptions{"seconds", "level", "rate", "tries"};
// Takes of a live measurement, when sound is lost: the usual and the most allowed.
constexpr int kLiveTries = 3;
constexpr int kMostLiveTries = 10;
const std::vector<std::string> kFileOptions{"stimulus", "recorded"};

double DecimalOption(const Arguments& arguments, const std::string& name, double fallback) {
    const auto text = arguments.get(name);
    if (!text) return fallback;
    double value = 0;
    auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), value);
    if (error != std::errc() || end != text->data() + text->size() || text->empty() || !std::isfinite(value))
        throw UsageError{"--" + name + " takes a number, not \"" + *text + "\""};
    return value;
}

// One channel of a WAV file read as File Open reads it, at full scale 1; the reader's messages
// go to stderr. False after saying why when it cannot be had.
bool ReadChannel(const std::string& path, int channel, std::vector<float>& samples, std::uint32_t& rate) {
    FileByteReader source;
    if (!source.open(path)) {
        std::cerr << "tonewell-cli: cannot open " << path << "\n";
        return false;
    }
    SignalRecord record;
    const WaveReadResult read = ReadWaveDocument(source, record);
    for (const std::string& message : read.messages) std::cerr << message << "\n";
    if (!read.accepted) {
        std::cerr << "tonewell-cli: cannot read " << path << "\n";
        return false;
    }
    if (channel == 1 && record.samplingType == kSamplingTypeA) {
        std::cerr << "tonewell-cli: " << path << " holds no channel B\n";
        return false;
    }
    const bool useB = channel == 1 || record.samplingType == kSamplingTypeB;
    const SampleArray& codes = useB ? record.dataB : record.dataA;
    const int bits = useB ? record.resolutionB : record.resolutionA;
    const double zero = bits <= 8 ? 128.0 : 32768.0;
    samples.resize(record.sampleCount);
    for (std::uint32_t i = 0; i < record.sampleCount; ++i) samples[i] = static_cast<float>((codes[i] - zero) / zero);
    rate = record.riffHeader.format.samplesPerSecond;
    return true;
}

// Plays the sweep and records the answer through the backend the environment chooses; false
// after saying why when no response came out.
bool MeasureLive(const Arguments& arguments, int channel, FrequencyResponse& response) {
    LiveResponseSettings settings;
    settings.inputChannel = channel;
    SweepSettings& sweep = settings.sweep;
    sweep.fromHz = DecimalOption(arguments, "from", sweep.fromHz);
    sweep.toHz = DecimalOption(arguments, "to", sweep.toHz);
    sweep.seconds = DecimalOption(arguments, "seconds", sweep.seconds);
    sweep.levelDbfs = DecimalOption(arguments, "level", sweep.levelDbfs);
    const double rate = DecimalOption(arguments, "rate", sweep.sampleRate);
    if (rate != std::floor(rate) || rate < 1 || rate > 1e6) throw UsageError{"--rate takes a whole number of hertz"};
    sweep.sampleRate = static_cast<std::uint32_t>(rate);
    if (const std::string problem = SweepSettingsProblem(sweep); !problem.empty()) throw UsageError{problem};

    const double tries = DecimalOption(arguments, "tries", kLiveTries);
    if (tries != std::floor(tries) || tries < 1 || tries > kMostLiveTries)
        throw UsageError{"--tries takes a whole number from 1 to " + std::to_string(kMostLiveTries)};

    StopSignals stopSignals;
    const std::unique_ptr<AudioBackend> backend = CreateAudioBackendFromEnvironment();
    ResponseMeasurement measurement(*backend);
    // A take that lost sound on a busy machine is measured again; each loss is told on stderr.
    int take = 1;
    for (;; ++take) {
        measurement.start(settings);
        while (!measurement.waitForEnd(std::chrono::milliseconds(50)))
            if (stopSignals.arrived()) measurement.cancel();
        if (!measurement.result().soundLost || take >= tries || stopSignals.arrived()) break;
        std::cerr << "tonewell-cli: take " << take << ": " << measurement.result().problem << "\n";
    }
    std::cout << "backend=" << backend->displayName() << "\n"
              << "takes=" << take << "\n"
              << "underruns=" << measurement.underruns() << "\n"
              << "overruns=" << measurement.overruns() << "\n";
    if (!measurement.result().ok()) {
        std::cerr << "tonewell-cli: " << measurement.result().problem << "\n";
        return false;
    }
    response = measurement.result().response;
    return true;
}

// The response from the two files: same rate, the stimulus's band unless --from/--to give one.
bool AnalyseFiles(const Arguments& arguments, int channel, FrequencyResponse& response) {
    const std::string stimulusPath = *arguments.get("stimulus"), recordedPath = *arguments.get("recorded");
    std::vector<float> stimulus, recorded;
    std::uint32_t stimulusRate = 0, recordedRate = 0;
    if (!ReadChannel(stimulusPath, 0, stimulus, stimulusRate) || !ReadChannel(recordedPath, channel, recorded, recordedRate))
        return false;
    if (stimulusRate != recordedRate) {
        std::cerr << "tonewell-cli: the stimulus (" << stimulusRate << " Hz) and the recording (" << recordedRate
                  << " Hz) have different sampling rates\n";
        return false;
    }
    ResponseAnalysisSettings settings;
    settings.fromHz = DecimalOption(arguments, "from", 0.0);
    settings.toHz = DecimalOption(arguments, "to", 0.0);
    if ((settings.fromHz == 0.0) != (settings.toHz == 0.0)) throw UsageError{"--from and --to go together"};
    const ResponseResult result = ComputeResponse(stimulus, recorded, stimulusRate, settings);
    if (!result.ok()) {
        std::cerr << "tonewell-cli: " << result.problem << "\n";
        return false;
    }
    response = result.response;
    return true;
}

// The value with that many decimals, a zero without its sign.
std::string Fixed(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    char text[48];
    std::snprintf(text, sizeof text, "%.*f", decimals, std::round(value * scale) / scale + 0.0);
    return text;
}

int RunResponse(const Arguments& arguments) {
    const bool live = arguments.get("live").has_value();
    for (const std::string& option : live ? kFileOptions : kLiveOnlyOptions)
        if (arguments.get(option)) throw UsageError{"--" + option + (live ? " is not for --live" : " is for --live")};
    if (!live && (!arguments.get("stimulus") || !arguments.get("recorded")))
        throw UsageError{"give --stimulus and --recorded, or --live"};
    const int channel = arguments.get("input").value_or("A") == "B" ? 1 : 0;

    FrequencyResponse response;
    if (!(live ? MeasureLive(arguments, channel, response) : AnalyseFiles(arguments, channel, response)))
        return kExitRefused;
    std::cout << "rate=" << Fixed(response.sampleRate, 0) << "\n"
              << "from=" << Fixed(response.fromHz, 3) << "\n"
              << "to=" << Fixed(response.toHz, 3) << "\n"
              << "points=" << response.frequencyHz.size() << "\n"
              << "latencyMs=" << Fixed(response.latencySeconds * 1000.0, 5) << "\n"
              << "inverted=" << (response.inverted ? 1 : 0) << "\n";

    bool written = true;
    auto write = [&written](const std::string& path, bool ok) {
        if (!ok) std::cerr << "tonewell-cli: cannot write " << path << "\n";
        written = written && ok;
    };
    const std::string output = *arguments.get("output");
    write(output, WriteResponseTable(output, response));
    if (auto impulse = arguments.get("impulse")) write(*impulse, WriteImpulseWave(*impulse, response));
#ifdef TONEWELL_HAVE_PICTURES
    if (auto png = arguments.get("png"))
        write(*png, WriteCanvasPicture(*png, {960, 600}, [&](Canvas& canvas) { DrawResponsePlot(canvas, response); }));
#endif
    return written ? kExitOk : kExitRefused;
}

}  // namespace

Command ResponseCommand() {
    std::vector<OptionForm> options{
        {"stimulus", "S.wav", {}, false, "the signal the system was given"},
        {"recorded", "R.wav", {}, false, "the system's answer, recorded from no later than the stimulus's start"},
        {"live", "", {}, false, "measure now: play a sweep and record the answer through the sound card"},
        {"output", "RESPONSE.txt", {}, false, "the table to write (required)", true},
#ifdef TONEWELL_HAVE_PICTURES
        {"png", "RESPONSE.png", {}, false, "also draw magnitude and phase as a picture (960x600)"},
#endif
        {"impulse", "IR.wav", {}, false, "also write the impulse response (32-bit float WAV)"},
        {"from", "HZ", {}, false, "lowest frequency (live: of the sweep, default 20; files: of the table)"},
        {"to", "HZ", {}, false, "highest frequency (live: of the sweep, default 20000; files: of the table)"},
        {"seconds", "S", {}, false, "length of the sweep (live; default 5)"},
        {"level", "DBFS", {}, false, "peak level of the sweep (live; default -12)"},
        {"rate", "HZ", {}, false, "sampling rate (live; default 48000)"},
        {"tries", "N", {}, false, "takes at most, when a take loses sound (live; default 3, at most 10)"},
        {"input", "A|B", {"A", "B"}, false, "the recorded channel (default A)"},
    };
    return {{"response", "",
      "The frequency response of a system: from a stimulus and the system's recorded answer (both\n"
      "WAV files at one rate), or measured --live by playing an exponential sweep on the sound\n"
      "output while recording the input at the same rate (backend and device chosen as for play).\n"
      "Writes a table (header \"frequency,magnitude,phase\", then Hz, dB and degrees per line) on\n"
      "a logarithmic grid of 48 points per octave over the stimulus's band, magnitude 0 dB at\n"
      "unity gain, phase with the latency removed. Prints backend=, takes=, underruns= and\n"
      "overruns= (live, of the last take), then rate=, from=, to=, points=, latencyMs= (the\n"
      "impulse response's main peak after the stimulus's start) and inverted= (1: the polarity is\n"
      "inverted). Different rates, a silent recording, or a recording shorter than the stimulus\n"
      "are refused with a message and exit 1. A live take that loses sound (the devices' underruns\n"
      "or overruns, or a gap or jump found in the recording, as a busy machine may cause) is\n"
      "measured again, up to --tries takes in all; each loss is told on stderr, and when every take\n"
      "lost sound the last loss is the message and the exit status is 1.",
      options}, RunResponse};
}

}  // namespace tonewell::cli
