// Fuzz target of the document's WAV reader: any bytes are refused or loaded without a fault; a
// loaded record keeps its arrays as long as its count, computes its statistics, and reads back
// unchanged after it is written.

#include "acquisition/SignalRecord.h"
#include "acquisition/WaveDocumentReader.h"
#include "acquisition/WaveDocumentWriter.h"
#include "platform/ByteReader.h"

#include <cstddef>
#include <cstdint>
#include <string>

using namespace tonewell;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ByteReader source({data, size});
    SignalRecord record;
    const WaveReadResult result = ReadWaveDocument(source, record);
    if (!result.accepted) {
        if (result.messages.empty() && !result.outOfMemory) __builtin_trap();
        return 0;
    }
    if (record.dataA.size() < record.sampleCount || record.dataB.size() < record.sampleCount) __builtin_trap();
    if (record.notes.size() >= kNotesCapacity) __builtin_trap();
    DcOffsets offsets;
    for (int scopeType = 0; scopeType < 4; ++scopeType) ComputeStatistics(record, scopeType, offsets);

    const std::string written = EncodeWaveDocument(record);
    ByteReader again({reinterpret_cast<const std::uint8_t*>(written.data()), written.size()});
    SignalRecord reread;
    const WaveReadResult second = ReadWaveDocument(again, reread);
    if (!second.accepted || reread.sampleCount != record.sampleCount || reread.notes != record.notes ||
        reread.samplingType != record.samplingType)
        __builtin_trap();
    for (std::uint32_t i = 0; i < record.sampleCount; ++i)
        if (reread.dataA[i] != record.dataA[i]) __builtin_trap();
    return 0;
}
