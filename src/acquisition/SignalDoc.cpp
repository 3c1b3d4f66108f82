#include "acquisition/SignalDoc.h"

#include "acquisition/StatisticsFollower.h"

#include "acquisition/WaveDocumentReader.h"
#include "acquisition/WaveDocumentWriter.h"
#include "platform/FileByteReader.h"
#include "platform/SafeFileWriter.h"

#include <new>
#include <utility>

namespace tonewell {
namespace {

constexpr const char* kMessageOpenFailed = "Failed to open document.";
constexpr const char* kMessageSaveFailed = "Failed to save document.";
constexpr const char* kMessageTypeNotRecognized = "Sampling Type not recognized";
constexpr const char* kMessageResolutionNotRecognized = "Sampling Resolution not recognized";
constexpr const char* kMessageFrequencyNotRecognized = "Sampling Frequency not recognized";

}  // namespace

CSignalDoc::CSignalDoc(Shell& shell, const InstrumentConfiguration& configuration,
                       std::atomic<bool>& inputRunning, const FreshDocumentSelection& selection)
    : shell_(shell), configuration_(configuration), inputRunning_(inputRunning) {
    MakeFresh(selection);
}

void CSignalDoc::MakeFresh(const FreshDocumentSelection& selection) {
    inputRunning_.store(false);
    SignalRecord& r = *this;
    const std::uint16_t channels = selection.bothChannels ? 2 : 1;
    r.samplingType = selection.bothChannels ? kSamplingTypeAB : kSamplingTypeA;

    WaveFormat& format = r.riffHeader.format;
    format.formatTag = 1;
    format.channels = channels;
    format.samplesPerSecond = selection.samplesPerSecond;
    format.bitsPerSample = static_cast<std::uint16_t>(selection.bits);
    format.blockAlign = static_cast<std::uint16_t>(channels * (selection.bits <= 8 ? 1 : 2));
    format.averageBytesPerSecond = format.blockAlign * selection.samplesPerSecond;
    r.riffHeader.riffSize = 0;
    r.riffHeader.fmtSize = 16;
    r.riffHeader.format.extraSize = 0;
    r.riffHeader.dataSize = 0;

    const IntervalNumber interval = NormaliseInterval(selection.samplesPerSecond);
    r.intervalMantissa = interval.mantissa;
    r.intervalExponent = interval.exponent;

    const VoltageRange range =
        NormaliseVoltageRange(selection.bits, configuration_.inputFullScale8, configuration_.inputFullScale16);
    r.resolutionA = r.resolutionB = static_cast<std::uint8_t>(selection.bits);
    r.rangeMaxA = r.rangeMaxB = range.max;
    r.rangeMinA = r.rangeMinB = range.min;
    r.rangeExponentA = r.rangeExponentB = range.exponent;

    r.sampleCount = 0;
    if (!ReallocateSamples(1)) shell_.postCommand(kCommandFileClose);
    RecordChanged();

    r.notes.clear();
    r.displayNotes = false;
    r.zeroA = ZeroLevel(r.rangeMaxA, r.rangeMinA, r.resolutionA);
    r.zeroB = ZeroLevel(r.rangeMaxB, r.rangeMinB, r.resolutionB);
    r.version = {'0', '1', '.', '0', '\0'};
    r.recordDuration = DecodeTimeRange(selection.timeRangeCode);
    r.maxA = r.minA = r.meanA = r.rmsA = 0.0f;
    r.maxB = r.minB = r.meanB = r.rmsB = 0.0f;
}

bool CSignalDoc::OnNewDocument() {
    skipSavePrompt = true;
    modified_ = false;
    pathName_.clear();
    if (frameHooks_ != nullptr) frameHooks_->ApplyNewDocumentPanel(*this);
    return true;
}

bool CSignalDoc::OnOpenDocument(const std::filesystem::path& path, int scopeType) {
    FileByteReader source;
    if (!source.open(path)) {
        shell_.showMessage(kMessageOpenFailed);
        return false;
    }
    inputRunning_.store(false);

    // Read into a scratch record so that a refused file leaves this one as it was; the sample
    // arrays are set aside rather than copied.
    SampleArray keptA = std::move(dataA);
    SampleArray keptB = std::move(dataB);
    SignalRecord scratch = *this;
    dataA = std::move(keptA);
    dataB = std::move(keptB);

    // A long record's statistics are summed behind the reader.
    StatisticsFollower statistics(scopeType);
    WaveReadResult result = ReadWaveDocument(source, scratch, &statistics);
    statistics.finish();
    // A refused file is only reported: the record that was open stays, and with it the program
    // (closing the document would end it).
    for (const std::string& message : result.messages) shell_.showMessage(message);
    if (!result.accepted) return false;
    static_cast<SignalRecord&>(*this) = std::move(scratch);
    RecordChanged();
    skipSavePrompt = false;
    modified_ = false;
    pathName_ = path;

    if (frameHooks_ != nullptr) frameHooks_->ShowRecordLength(std::to_string(sampleCount));
    switch (samplingType) {
    case kSamplingTypeA:
        if (frameHooks_ != nullptr) frameHooks_->SelectChannels(false, false);
        break;
    case kSamplingTypeB:
        if (frameHooks_ != nullptr) frameHooks_->SelectChannels(true, false);
        break;
    case kSamplingTypeAB:
        if (frameHooks_ != nullptr) frameHooks_->SelectChannels(true, true);
        break;
    default:
        shell_.showMessage(kMessageTypeNotRecognized);
        break;
    }
    if (frameHooks_ != nullptr) {
        if (!frameHooks_->SelectResolution(resolutionA)) shell_.showMessage(kMessageResolutionNotRecognized);
        if (!frameHooks_->SelectSamplingFrequency(riffHeader.format.samplesPerSecond))
            shell_.showMessage(kMessageFrequencyNotRecognized);
    }
    if (!statistics.store(*this, dcOffsets)) ComputeStatistics(scopeType);
    return true;
}

bool CSignalDoc::OnSaveDocument(const std::filesystem::path& path) {
    skipSavePrompt = false;
    SafeFileWriter writer(path);
    bool written = writer.open() &&
                   WriteWaveDocument(*this, [&writer](const void* data, std::size_t size) {
                       return writer.write(data, size);
                   });
    written = written && writer.commit();
    if (!written) {
        writer.abandon();
        shell_.showMessage(kMessageSaveFailed);
        return false;
    }
    pathName_ = path;
    modified_ = false;
    return true;
}

bool CSignalDoc::DoFileSave() {
    std::filesystem::path path = pathName_;
    if (path.empty()) {
        FileDialogRequest request;
        request.filter = kDocumentFilter;
        request.defaultExtension = kDocumentExtension;
        request.promptOverwrite = true;
        const std::optional<std::string> chosen = shell_.chooseSaveFile(request);
        if (!chosen) return false;
        path = *chosen;
        if (!path.has_extension()) path += std::string(".") + kDocumentExtension;
    }
    return OnSaveDocument(path);
}

bool CSignalDoc::SaveModified() {
    if (skipSavePrompt || !modified_) return true;
    switch (shell_.promptSave(Title())) {
    case SavePromptAnswer::Yes:
        return DoFileSave();
    case SavePromptAnswer::No:
        return true;
    case SavePromptAnswer::Cancel:
        break;
    }
    return false;
}

bool CSignalDoc::CanSave() const { return !inputRunning_.load() && sampleCount != 0; }

void CSignalDoc::ComputeStatistics(int scopeType) { tonewell::ComputeStatistics(*this, scopeType, dcOffsets); }

bool CSignalDoc::ReallocateSamples(std::uint32_t n) {
    const std::size_t slots = n == 0 ? 1 : n;
    try {
        SampleArray a(slots, 0);
        SampleArray b(slots, 0);
        dataA = std::move(a);
        dataB = std::move(b);
        RecordChanged();
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

std::string CSignalDoc::Title() const {
    if (pathName_.empty()) return "Untitled";
    return pathName_.filename().string();
}

}  // namespace tonewell
