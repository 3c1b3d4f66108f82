#include "spectrum/SpectrumExport.h"

#include "acquisition/SignalRecord.h"
#include "shared/NumberFormat.h"
#include "shared/TextExport.h"
#include "spectrum/SpectrumAnalysis.h"

#include <algorithm>
#include <string>

namespace tonewell {

namespace {

const char* titleOf(SpectrumType type) {
    switch (type) {
    case SpectrumType::Amplitude: return "RMS Spectrum";
    case SpectrumType::Phase: return "Phase Spectrum";
    case SpectrumType::AutoCorrelation: return "Auto-Correlation";
    default: return "Cross-Correlation";
    }
}

std::string columnHeader(SpectrumType type, int samplingType) {
    const bool frequencies = !IsCorrelation(type);
    std::string header = frequencies ? "No.,   Frequency (Hz),   " : "No.,   Time Delay (S),   ";
    const std::string unit = type == SpectrumType::Amplitude ? "(V)"
                             : type == SpectrumType::Phase   ? "(Degree) "
                                                             : "";
    if (samplingType == kSamplingTypeA) {
        header += "Channel A " + unit;
    } else if (samplingType == kSamplingTypeB) {
        header += "Channel B " + unit;
    } else if (type == SpectrumType::CrossCorrelation) {
        header += "Channel A & Channel B";
    } else {
        header += "Channel A, " + unit + "Channel B " + unit;
    }
    return header;
}

void writeLines(TextExportFile& file, const SignalRecord& record,
                const SpectrumAnalysis& analysis) {
    const SpectrumType type = analysis.spectrumType();
    const int n = analysis.fftSize();
    const std::uint32_t fs = record.riffHeader.format.samplesPerSecond;
    const int samplingType = record.samplingType;

    std::string& out = file.line();
    out += titleOf(type);
    file.endLine();
    WriteRecordFormatLines(file, fs, samplingType == kSamplingTypeB ? record.resolutionB : record.resolutionA,
                           record.sampleCount);
    out += "FFT Point=";
    AppendInteger(out, n);
    file.endLine();
    if (record.sampleCount == 0) return;
    if (samplingType != kSamplingTypeA && samplingType != kSamplingTypeB &&
        samplingType != kSamplingTypeAB)
        return;  // no channel to name
    out += columnHeader(type, samplingType);
    file.endLine();
    if (n == 0) return;  // nothing computed yet

    const bool frequencies = !IsCorrelation(type);
    const int last = frequencies ? n / 2 : n - 2;
    const float fsFloat = static_cast<float>(fs);
    // A rate of 0 has no spacing; every point is then written at 0.
    const float step = fs == 0 ? 0.0f
                       : frequencies ? fsFloat / static_cast<float>(n)
                                     : 1.0f / fsFloat;
    const int zeroLag = (n - 2) / 2;
    const float* a = analysis.resultA().data();
    const float* b = analysis.resultB().data();
    const bool cross = samplingType == kSamplingTypeAB && type == SpectrumType::CrossCorrelation;
    for (int i = 0; i <= last; ++i) {
        const float x = static_cast<float>(frequencies ? i : i - zeroLag) * step;
        AppendInteger(out, i);
        out += ",   ";
        AppendFixed(out, x);
        if (samplingType == kSamplingTypeAB && !cross) {
            out += ",   ";
            AppendFixed(out, a[i]);
            out += ",   ";
            AppendFixed(out, b[i]);
        } else {
            out += cross ? ",      " : ",   ";
            AppendFixed(out, samplingType == kSamplingTypeB ? b[i] : a[i]);
        }
        file.endLine();
    }
}

}  // namespace

bool WriteSpectrumExport(Shell& shell, const std::filesystem::path& path,
                         const SignalRecord& record, const SpectrumAnalysis& analysis) {
    return WriteTextExport(shell, path,
                           [&](TextExportFile& file) { writeLines(file, record, analysis); });
}

void ExportSpectrum(Shell& shell, const SignalRecord& record, const SpectrumAnalysis& analysis) {
    const std::optional<std::string> path = ChooseTextExportPath(shell, true);
    if (!path) return;
    WriteSpectrumExport(shell, *path, record, analysis);
}

}  // namespace tonewell
