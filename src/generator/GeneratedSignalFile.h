#pragma once
// Writers of the generated signal: second after second synthesised exactly as for playback,
// appended either as the data of a RIFF/WAVE file with the instrument's LIST/INFO block (IBIN
// sampling and range information, empty ICMT note), or as a text table in volts with CR LF line
// ends. UI thread; the synthesizer must have had startRun for this export.

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
std::uint64_t WaveDataBytes(const OutputFormat& format, std::uint32_t seconds);
bool WaveFitsRiff(const OutputFormat& format, std::uint32_t seconds);

// The IBIN block: sampling type, interval mantissa and exponent, one record per channel
// (resolution, range max and min mantissas, range exponent), version "01.0": 14 or 20 bytes.
std::string InformationBlock(const OutputFormat& format, const OutputCalibration& calibration);

// The 44 bytes before the samples ("RIFF" .. data size) for seconds of signal.
std::string WaveHeader(const OutputFormat& format, std::uint32_t seconds, std::uint32_t listSize);

SignalWriteResult WriteGeneratedWave(SafeFileWriter& file, Synthesizer& synth, const OutputFormat& format,
                                     const OutputCalibration& calibration, std::uint32_t seconds,
                                     std::vector<std::uint8_t>& buffer);

SignalWriteResult WriteGeneratedText(SafeFileWriter& file, Synthesizer& synth, const OutputFormat& format,
                                     const OutputCalibration& calibration, std::uint32_t seconds,
                                     std::vector<std::uint8_t>& buffer);

// The characters of "%f" for index / samplesPerSecond seconds (what the text table shows as
// time), worked out in integers where that is exact.
void AppendSampleTime(std::string& out, std::uint64_t index, std::uint32_t samplesPerSecond);

}  // namespace tonewell
