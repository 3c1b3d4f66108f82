#include "scope/ScopeExport.h"

#include "shared/DocumentNumbers.h"
#include "acquisition/SignalRecord.h"
#include "shared/NumberFormat.h"
#include "shared/TextExport.h"

#include <algorithm>
#include <string>

namespace tonewell {

namespace {

void writeLines(TextExportFile& file, const SignalRecord& record) {
    const std::uint32_t fs = record.riffHeader.format.samplesPerSecond;
    const int samplingType = record.samplingType;
    std::string& out = file.line();
    out += "Data Points";
    file.endLine();
    WriteRecordFormatLines(file, fs, samplingType == kSamplingTypeB ? record.resolutionB : record.resolutionA,
                           record.sampleCount);

    const bool withA = samplingType == kSamplingTypeA || samplingType == kSamplingTypeAB;
    const bool withB = samplingType == kSamplingTypeB || samplingType == kSamplingTypeAB;
    if (!withA && !withB) return;
    if (samplingType == kSamplingTypeA)
        out += "No.,     Time (S),     Channel A (V)";
    else if (samplingType == kSamplingTypeB)
        out += "No.,     Time (S),     Channel B (V)";
    else
        out += "No.,     Time (S),     Channel A (V),     Channel B (V)";
    file.endLine();

    const float kA = static_cast<float>(
        VoltsPerCode(record.rangeMaxA, record.rangeMinA, record.rangeExponentA, record.resolutionA));
    const float kB = static_cast<float>(
        VoltsPerCode(record.rangeMaxB, record.rangeMinB, record.rangeExponentB, record.resolutionB));
    // The document keeps both arrays at least sampleCount long; never read past them anyway.
    std::size_t rows = record.sampleCount;
    if (withA) rows = std::min(rows, record.dataA.size());
    if (withB) rows = std::min(rows, record.dataB.size());
    const float fsFloat = static_cast<float>(fs);
    for (std::size_t i = 0; i < rows; ++i) {
        // A rate of 0 has no time axis; every sample is then written at time 0.
        const float time = fs == 0 ? 0.0f : static_cast<float>(i) / fsFloat;
        AppendInteger(out, static_cast<std::int64_t>(i));
        out += ",   ";
        AppendFixed(out, time);
        if (withA) {
            out += ",   ";
            const std::int64_t code = static_cast<std::int64_t>(record.dataA[i]) - record.zeroA;
            AppendFixed(out, static_cast<float>(code) * kA);
        }
        if (withB) {
            out += ",   ";
            const std::int64_t code = static_cast<std::int64_t>(record.dataB[i]) - record.zeroB;
            AppendFixed(out, static_cast<float>(code) * kB);
        }
        file.endLine();
    }
}

}  // namespace

bool WriteScopeExport(Shell& shell, const std::filesystem::path& path, const SignalRecord& record) {
    return WriteTextExport(shell, path, [&](TextExportFile& file) { writeLines(file, record); });
}

void ExportScopeText(Shell& shell, const SignalRecord& record) {
    const std::optional<std::string> path = ChooseTextExportPath(shell, false);
    if (!path) return;
    WriteScopeExport(shell, *path, record);
}

}  // namespace tonewell
