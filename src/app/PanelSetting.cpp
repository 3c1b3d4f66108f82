#include "app/PanelSetting.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <limits>
#include <vector>

#include "generator/GeneratorTables.h"
#include "generator/ToneFile.h"
#include "platform/ByteReader.h"
#include "platform/ByteWriter.h"
#include "platform/SafeFileWriter.h"
#include "platform/Shell.h"

namespace tonewell {

namespace {

using Id = RangeTableId;

constexpr char kSignature[8] = {'Q', 'u', 'e', 'n', 'd', 'a', 'l', '\0'};

// Fields 2 to 24: lists in file order.
constexpr Id kLeadingLists[] = {
    Id::ScopeTimeRange,      Id::ScopeTimeMultiplier,   Id::ScopeRangeA,          Id::ScopeMultiplierA,
    Id::ScopeType,           Id::ScopeRangeB,           Id::ScopeMultiplierB,     Id::SpectrumFrequencyRange,
    Id::SymmetricTimeRange,  Id::SpectrumFrequencyMultiplier, Id::SpectrumRangeA, Id::SpectrumSecondRangeA,
    Id::PhaseRangeA,         Id::CorrelationRangeA,     Id::SpectrumMultiplierA,  Id::SpectrumRangeB,
    Id::SpectrumSecondRangeB, Id::PhaseRangeB,          Id::CorrelationRangeB,    Id::SpectrumMultiplierB,
    Id::FftPoints,           Id::WindowFunction,        Id::SpectrumType};
constexpr Id kTriggerLists[] = {Id::TriggerMode, Id::TriggerSource, Id::TriggerEdge};
constexpr Id kSamplingLists[] = {Id::SamplingFrequency, Id::SamplingChannels, Id::SamplingResolution};

std::int32_t ClampRow(const RangeTables& tables, Id id, std::int32_t row) {
    return std::clamp(row, 0, tables[id].count - 1);
}

std::int32_t ClampPercent(std::int32_t percent) { return std::clamp(percent, -100, 100); }

// The generator fields take the same place in GeneratorSettings in every panel.
struct GeneratorRows {
    std::int32_t GeneratorSettings::*field;
    Id table;
};
constexpr GeneratorRows kGeneratorRows[] = {
    {&GeneratorSettings::sampleRateIndex, Id::GeneratorSamplingFrequency},
    {&GeneratorSettings::resolutionIndex, Id::GeneratorResolution},
    {&GeneratorSettings::channelsIndex, Id::GeneratorChannels},
    {&GeneratorSettings::waveformIndexA, Id::GeneratorWaveformA},
    {&GeneratorSettings::waveformIndexB, Id::GeneratorWaveformB},
};

}  // namespace

PanelSetting BuiltInPanelSetting() {
    PanelSetting panel;
    for (int i = 0; i < kRangeTableCount; ++i) panel.rows[i] = RangeTables::BuiltInDefault(static_cast<Id>(i));
    return panel;
}

std::string EncodePanelSetting(const PanelSetting& panel) {
    ByteWriter e;
    e.bytes(kSignature, sizeof kSignature);
    for (Id id : kLeadingLists) e.u16(static_cast<std::uint32_t>(panel.row(id)));
    e.u16(static_cast<std::uint32_t>(panel.spectrumXScale));
    e.u16(static_cast<std::uint32_t>(panel.spectrumYScale));
    e.flag(panel.spectrumNormalized);
    for (Id id : kTriggerLists) e.u16(static_cast<std::uint32_t>(panel.row(id)));
    e.u16(static_cast<std::uint32_t>(panel.triggerLevelPercent));
    e.u16(static_cast<std::uint32_t>(panel.triggerDelayPercent));
    e.u32(static_cast<std::uint32_t>(panel.recordLength()));
    for (Id id : kSamplingLists) e.u16(static_cast<std::uint32_t>(panel.row(id)));
    e.flag(panel.scopeShown);
    e.flag(panel.spectrumShown);
    e.flag(panel.thirdPane);
    e.flag(panel.generatorShown);
    const GeneratorSettings& g = panel.generator;
    for (const GeneratorRows& rows : kGeneratorRows) e.u16(static_cast<std::uint32_t>(g.*rows.field));
    e.u32(g.frequencyA);
    e.u32(g.frequencyB);
    e.u32(g.amplitudeA);
    e.u32(g.amplitudeB);
    e.u32(static_cast<std::uint32_t>(g.phaseDifference));
    e.flag(g.sweepEnabled);
    e.flag(g.displayInScope);
    e.u32(g.sweepStartA);
    e.u32(g.sweepEndA);
    e.u32(g.sweepStartB);
    e.u32(g.sweepEndB);
    e.u32(g.sweepDuration);
    e.flag(g.sweepLinearA);
    e.flag(g.sweepLinearB);
    if (g.waveformIndexA == kWaveformLibrary) {
        std::size_t length = std::min<std::size_t>(panel.toneFilePath.size(), std::numeric_limits<std::uint16_t>::max());
        e.u16(static_cast<std::uint32_t>(length));
        e.bytes(panel.toneFilePath.data(), length);
    } else {
        e.u16(0);
    }
    return std::string(e.chars());
}

bool DecodePanelSetting(std::span<const std::uint8_t> bytes, PanelSetting& panel) {
    if (bytes.size() < sizeof kSignature || !std::equal(std::begin(kSignature), std::end(kSignature), bytes.begin(),
                                                        [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; }))
        return false;
    ByteReader d(bytes.subspan(sizeof kSignature));
    if (!d.has(kPanelFixedSize - sizeof kSignature)) return false;

    static const RangeTables kTables;  // only the row counts are read
    PanelSetting read = panel;
    for (Id id : kLeadingLists) read.setRow(id, ClampRow(kTables, id, d.u16()));
    read.spectrumXScale = d.u16();
    read.spectrumYScale = d.u16();
    read.spectrumNormalized = d.flag();
    for (Id id : kTriggerLists) read.setRow(id, ClampRow(kTables, id, d.u16()));
    read.triggerLevelPercent = ClampPercent(d.s16());
    read.triggerDelayPercent = ClampPercent(d.s16());
    read.setRow(Id::RecordLength, d.s32());
    for (Id id : kSamplingLists) read.setRow(id, ClampRow(kTables, id, d.u16()));
    read.scopeShown = d.flag();
    read.spectrumShown = d.flag();
    read.thirdPane = d.flag();
    read.generatorShown = d.flag();
    GeneratorSettings& g = read.generator;
    for (const GeneratorRows& rows : kGeneratorRows) g.*rows.field = ClampRow(kTables, rows.table, d.u16());
    g.frequencyA = d.u32();
    g.frequencyB = d.u32();
    g.amplitudeA = d.u32();
    g.amplitudeB = d.u32();
    g.phaseDifference = d.s32();
    g.sweepEnabled = d.flag();
    g.displayInScope = d.flag();
    g.sweepStartA = d.u32();
    g.sweepEndA = d.u32();
    g.sweepStartB = d.u32();
    g.sweepEndB = d.u32();
    g.sweepDuration = d.u32();
    g.sweepLinearA = d.flag();
    g.sweepLinearB = d.flag();
    std::size_t length = d.u16();
    if (!d.has(length)) return false;
    read.toneFilePath.clear();
    for (std::size_t i = 0; i < length; ++i) read.toneFilePath.push_back(static_cast<char>(d.u8()));
    // The generator's lists always show the generator's own values.
    for (const GeneratorRows& rows : kGeneratorRows) read.setRow(rows.table, g.*rows.field);
    read.setRow(Id::GeneratorFrequencyA, static_cast<std::int32_t>(g.frequencyA));
    read.setRow(Id::GeneratorFrequencyB, static_cast<std::int32_t>(g.frequencyB));
    read.setRow(Id::GeneratorAmplitudeA, static_cast<std::int32_t>(g.amplitudeA));
    read.setRow(Id::GeneratorAmplitudeB, static_cast<std::int32_t>(g.amplitudeB));
    read.setRow(Id::GeneratorPhase, g.phaseDifference);
    panel = std::move(read);
    return true;
}

bool ReadPanelSettingFile(const std::filesystem::path& path, PanelSetting& panel, Shell& shell) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    // The longest valid file: the fixed part and a path of 65535 bytes. One byte more is read so
    // that a longer file is still told apart, yet nothing beyond that is ever held.
    constexpr std::size_t kLongest = kPanelFixedSize + std::numeric_limits<std::uint16_t>::max();
    std::vector<std::uint8_t> bytes(kLongest + 1);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    if (!DecodePanelSetting(bytes, panel)) {
        shell.showMessage(kPanelFormatMessage);
        return false;
    }
    return true;
}

bool WritePanelSettingFile(const std::filesystem::path& path, const PanelSetting& panel, const ToneLists& toneLists,
                           const std::filesystem::path& programDir, std::string& toneFilePath, Shell& shell) {
    if (!writeFileSafely(path, EncodePanelSetting(panel))) {
        shell.showMessage(kPanelCreateFailedMessage);
        return false;
    }
    if (panel.generator.waveformIndexA == kWaveformMultiTones)
        WriteToneFile(programDir / kDefaultToneFileName, toneLists, toneFilePath, shell);
    return true;
}

void StorePanelSetting(const PanelSetting& panel, RangeTables& tables, GeneratorSettings& generator,
                       std::string& toneFilePath) {
    for (int i = 0; i < kRangeTableCount; ++i) tables.setDefaultIndex(static_cast<Id>(i), panel.rows[i]);
    const GeneratorSettings& g = panel.generator;
    for (const GeneratorRows& rows : kGeneratorRows) tables.setDefaultIndex(rows.table, g.*rows.field);
    tables.setDefaultIndex(Id::GeneratorFrequencyA, static_cast<std::int32_t>(g.frequencyA));
    tables.setDefaultIndex(Id::GeneratorFrequencyB, static_cast<std::int32_t>(g.frequencyB));
    tables.setDefaultIndex(Id::GeneratorAmplitudeA, static_cast<std::int32_t>(g.amplitudeA));
    tables.setDefaultIndex(Id::GeneratorAmplitudeB, static_cast<std::int32_t>(g.amplitudeB));
    tables.setDefaultIndex(Id::GeneratorPhase, g.phaseDifference);
    generator = g;
    toneFilePath = panel.toneFilePath;
}

}  // namespace tonewell
