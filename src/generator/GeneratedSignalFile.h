#pragma once
// Writers of the generated signal: second after second synthesised exactly as for playback,
// appended either as the data of a RIFF/WAVE file with the instrument's LIST/INFO block (IBIN
// sampling and range information, empty ICMT note; the document's chunk writer), or as a text
// table in volts with CR LF line ends. UI thread; the synthesizer must have had startRun for
// this export.

#include "acquisition/InfoBlock.h"
#include "generator/OutputCalibration.h"
#include "generator/OutputFormat.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tonewell {

class SafeFileWriter;
class Synthesizer;

enum class SignalWriteResult {
    Written,          // every second appended
    SynthesisFailed,  // the synthesizer wrote nothing (the user has been told)
    WriteFailed,      // the file refused bytes
};

// Byte count of the data chunk for a duration, and whether the whole file stays within the
// 32-bit sizes of RIFF.
std::uint64_t WaveDataBytes(const WaveFormat& format, std::uint32_t seconds);
bool WaveFitsRiff(const WaveFormat& format, std::uint32_t seconds);

// The IBIN block of the export: sampling type 1 or 3, the interval of the sampling frequency and
// for each channel the resolution and the range of the output calibration, version "01.0".
InfoBlock ExportInfoBlock(const WaveFormat& format, const OutputCalibration& calibration);

SignalWriteResult WriteGeneratedWave(SafeFileWriter& file, Synthesizer& synth, const WaveFormat& format,
                                     const OutputCalibration& calibration, std::uint32_t seconds,
                                     std::vector<std::uint8_t>& buffer);

SignalWriteResult WriteGeneratedText(SafeFileWriter& file, Synthesizer& synth, const WaveFormat& format,
                                     const OutputCalibration& calibration, std::uint32_t seconds,
                                     std::vector<std::uint8_t>& buffer);

// The time column of the text table: the characters of "%f" for index / samplesPerSecond
// seconds, for one index after another. Worked out in integers where that is exact, so a line
// costs no division of doubles and no printf.
class SampleTimeText {
public:
    SampleTimeText(std::uint32_t samplesPerSecond, std::uint64_t firstIndex);
    // Writes the time of the current index (at most 32 characters) and moves to the next index.
    char* put(char* out);

private:
    std::uint64_t rate_;
    std::uint64_t index_;
    std::uint64_t stepQuotient_;
    std::uint64_t stepRemainder_;
    std::uint64_t quotient_ = 0;   // index x 10^6 / rate, while the index is small enough
    std::uint64_t remainder_ = 0;
};

// The time text of one index.
void AppendSampleTime(std::string& out, std::uint64_t index, std::uint32_t samplesPerSecond);

}  // namespace tonewell
