// Feeds arbitrary bytes to the tone configuration file reader and the multitone synthesis of
// what it read.

#include "generator/Synthesizer.h"
#include "generator/ToneFile.h"
#include "platform/RecordingShell.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("tonewell-fuzz-tcf-" + std::to_string(getpid()) + ".tcf");
    if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
        if (size > 0) std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
    tonewell::RecordingShell shell;
    tonewell::ToneLists lists;
    std::string toneFilePath;
    if (tonewell::ReadToneFile(path, lists, toneFilePath, shell)) {
        tonewell::GeneratorSettings settings;
        settings.waveformIndexA = settings.waveformIndexB = 7;  // MultiTones
        settings.sampleRateIndex = 0;
        settings.resolutionIndex = 0;
        settings.channelsIndex = 1;
        tonewell::WaveformLibrary library;
        tonewell::OutputCalibration calibration;
        tonewell::FixedSeedClock clock(1);
        tonewell::Synthesizer synth(settings, lists, library, calibration, clock, shell);
        synth.startRun();
        std::vector<std::uint8_t> buffer(tonewell::OutputFormatFor(settings).averageBytesPerSecond);
        synth.Synthesize(buffer);
    }
    return 0;
}
