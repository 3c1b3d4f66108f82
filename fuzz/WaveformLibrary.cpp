// Feeds arbitrary bytes to the waveform library reader and plays what it loaded.

#include "generator/Synthesizer.h"
#include "generator/WaveformLibraryFile.h"
#include "platform/RecordingShell.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("tonewell-fuzz-wfl-" + std::to_string(getpid()) + ".wfl");
    if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
        if (size > 0) std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
    tonewell::RecordingShell shell;
    tonewell::WaveformLibrary library;
    std::string toneFilePath;
    if (tonewell::LoadLibrary(path, library, toneFilePath, shell)) {
        tonewell::GeneratorSettings settings;
        settings.waveformIndexA = settings.waveformIndexB = 8;  // WFLibrary
        settings.sampleRateIndex = 0;
        settings.channelsIndex = 1;
        settings.frequencyA = 5512;
        tonewell::ToneLists lists;
        tonewell::OutputCalibration calibration;
        tonewell::FixedSeedClock clock(1);
        tonewell::Synthesizer synth(settings, lists, library, calibration, clock, shell);
        synth.startRun();
        std::vector<std::uint8_t> buffer(tonewell::OutputFormatFor(settings).averageBytesPerSecond);
        synth.Synthesize(buffer);
    }
    return 0;
}
