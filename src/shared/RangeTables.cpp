#include "shared/RangeTables.h"

namespace tonewell {

namespace {

using Names = std::string_view;

// Oscilloscope time range; the symmetric list used by the correlation axis is the same with "±".
constexpr Names kTimeRangeNames[] = {"100μs", "200μs", "500μs", "1ms",  "2ms",  "5ms",  "10ms",
                                     "20ms",  "50ms",  "100ms", "200ms", "500ms", "1s",  "2s",
                                     "5s",    "10s",   "20s",   "50s",  "100s", "200s", "500s"};
constexpr std::int32_t kTimeRangeValues[] = {0x2064, 0x20C8, 0x21F4, 0x3001, 0x3002, 0x3005, 0x300A,
                                             0x3014, 0x3032, 0x3064, 0x30C8, 0x31F4, 0x4001, 0x4002,
                                             0x4005, 0x400A, 0x4014, 0x4032, 0x4064, 0x40C8, 0x41F4};
constexpr Names kSymmetricTimeRangeNames[] = {
    "±100μs", "±200μs", "±500μs", "±1ms", "±2ms",  "±5ms",  "±10ms", "±20ms", "±50ms", "±100ms", "±200ms",
    "±500ms", "±1s",    "±2s",    "±5s",  "±10s",  "±20s",  "±50s",  "±100s", "±200s", "±500s"};
constexpr std::int32_t kSymmetricTimeRangeValues[] = {
    0xA064, 0xA0C8, 0xA1F4, 0xB001, 0xB002, 0xB005, 0xB00A, 0xB014, 0xB032, 0xB064, 0xB0C8,
    0xB1F4, 0xC001, 0xC002, 0xC005, 0xC00A, 0xC014, 0xC032, 0xC064, 0xC0C8, 0xC1F4};

constexpr Names kMultiplierNames[] = {"x1", "x2", "x5", "x10", "x20", "x50", "x100", "x200", "x500", "x1000"};
constexpr std::int32_t kMultiplierValues[] = {1, 2, 5, 10, 20, 50, 100, 200, 500, 1000};

constexpr Names kScopeRangeNames[] = {"Off",   "±20mv", "±50mv", "±100mv", "±200mv", "±500mv",
                                      "±1v",   "±2v",   "±5v",   "±10v",   "±20v",   "±50v"};
constexpr std::int32_t kScopeRangeValues[] = {0,      0xB014, 0xB032, 0xB064, 0xB0C8, 0xB1F4,
                                              0xC001, 0xC002, 0xC005, 0xC00A, 0xC014, 0xC032};

constexpr Names kChannelMultiplierNames[] = {"Off", "x1", "x2", "x5", "x10"};
constexpr std::int32_t kChannelMultiplierValues[] = {0, 1, 2, 5, 10};

constexpr Names kScopeTypeNames[] = {" & ", " + ", " - ", " | "};
constexpr std::int32_t kScopeTypeValues[] = {0, 1, 2, 3};

constexpr Names kFrequencyRangeNames[] = {"100kH", "50kH", "20kH", "10kH", "5kH",
                                          "2kH",   "1kH",  "500H", "200H", "100H"};
constexpr std::int32_t kFrequencyRangeValues[] = {0x5064, 0x5032, 0x5014, 0x500A, 0x5005,
                                                  0x5002, 0x5001, 0x41F4, 0x40C8, 0x4064};

constexpr Names kSpectrumRangeNames[] = {"Off", "20mv", "50mv", "100mv", "200mv", "500mv",
                                         "1v",  "2v",   "5v",   "10v",   "20v",   "50v"};
constexpr std::int32_t kSpectrumRangeValues[] = {0,      0x3014, 0x3032, 0x3064, 0x30C8, 0x31F4,
                                                 0x4001, 0x4002, 0x4005, 0x400A, 0x4014, 0x4032};

constexpr Names kUnitRangeNames[] = {"Off", "1"};
constexpr std::int32_t kUnitRangeValues[] = {0, 0x4001};

constexpr Names kFftPointNames[] = {"128", "256", "512", "1024", "2048", "4096", "8192", "16384", "32768"};
constexpr std::int32_t kFftPointValues[] = {128, 256, 512, 1024, 2048, 4096, 8192, 16384, 32768};

constexpr Names kWindowNames[] = {"REC", "TRI", "HAN", "HAM", "BLA"};
constexpr std::int32_t kWindowValues[] = {0, 1, 2, 3, 4};

constexpr Names kPhaseRangeNames[] = {"Off", "±180"};
constexpr std::int32_t kPhaseRangeValues[] = {0, 0xC0B4};

constexpr Names kCorrelationRangeNames[] = {"Off", "±1"};
constexpr std::int32_t kCorrelationRangeValues[] = {0, 0xC001};

constexpr Names kSpectrumTypeNames[] = {"AMS", "PHS", "ACR", "CCR"};
constexpr std::int32_t kSpectrumTypeValues[] = {0, 1, 2, 3};

constexpr Names kTriggerModeNames[] = {"None", "Repeat", "Single"};
constexpr std::int32_t kTriggerModeValues[] = {0, 1, 2};

constexpr Names kTriggerSourceNames[] = {"A", "B"};
constexpr std::int32_t kTriggerSourceValues[] = {0, 1};

constexpr Names kTriggerEdgeNames[] = {"Up", "Dn"};
constexpr std::int32_t kTriggerEdgeValues[] = {0, 1};

constexpr Names kTriggerLevelNames[] = {"100%", "90%",  "80%",  "70%",  "60%",  "50%",  "40%",  "30%",
                                        "20%",  "10%",  "5%",   "0%",   "-5%",  "-10%", "-20%", "-30%",
                                        "-40%", "-50%", "-60%", "-70%", "-80%", "-90%", "-100%"};
constexpr std::int32_t kTriggerLevelValues[] = {100, 90,  80,  70,  60,  50,  40,  30,  20,  10,   5,  0,
                                                -5,  -10, -20, -30, -40, -50, -60, -70, -80, -90, -100};

constexpr Names kRecordLengthNames[] = {"50", "100", "200", "500", "1000", "2000", "5000", "10000"};
constexpr std::int32_t kRecordLengthValues[] = {50, 100, 200, 500, 1000, 2000, 5000, 10000};

constexpr Names kSamplingFrequencyNames[] = {"2000H",  "4000H",  "8000H",  "11025H",
                                             "22050H", "44100H", "48000H", "96000H"};
constexpr std::int32_t kSamplingFrequencyValues[] = {2000, 4000, 8000, 11025, 22050, 44100, 48000, 96000};

constexpr Names kChannelsNames[] = {"A", "A&B"};
constexpr std::int32_t kChannelsValues[] = {0, 1};

constexpr Names kSamplingResolutionNames[] = {"8B", "16B"};
constexpr std::int32_t kResolutionValues[] = {8, 16};

constexpr Names kGeneratorResolutionNames[] = {"8 Bit", "16 Bit"};

constexpr Names kGeneratorRateNames[] = {"11025 Hz", "22050 Hz", "44100 Hz", "48000 Hz", "96000 Hz"};
constexpr std::int32_t kGeneratorRateValues[] = {11025, 22050, 44100, 48000, 96000};

constexpr Names kWaveformNames[] = {"None",       "Sine",      "Square",     "Triangle",  "SawTooth",
                                    "WhiteNoise", "PinkNoise", "MultiTones", "WFLibrary"};
constexpr std::int32_t kWaveformValues[] = {0, 1, 2, 3, 4, 5, 6, 7, 8};

constexpr Names kFrequencyPresetNames[] = {"40000", "30000", "20000", "10000", "5000", "2000",
                                           "1000",  "500",   "200",   "100",   "50"};
constexpr std::int32_t kFrequencyPresetValues[] = {40000, 30000, 20000, 10000, 5000, 2000,
                                                   1000,  500,   200,   100,   50};

constexpr Names kAmplitudePresetNames[] = {"1000", "500", "200", "100", "50"};
constexpr std::int32_t kAmplitudePresetValues[] = {1000, 500, 200, 100, 50};

constexpr Names kPhasePresetNames[] = {"-180", "-135", "-90", "-45", "0", "45", "90", "135", "180"};
constexpr std::int32_t kPhasePresetValues[] = {-180, -135, -90, -45, 0, 45, 90, 135, 180};

struct Layout {
    std::span<const Names> names;
    std::span<const std::int32_t> values;
    std::int32_t builtInDefault;
    bool editable;
    bool holdsRangeCodes;
};

constexpr bool kEditable = true;
constexpr bool kCodes = true;

// One entry per list, in the order of RangeTableId.
constexpr Layout kLayouts[kRangeTableCount] = {
    {kTimeRangeNames, kTimeRangeValues, 6, false, kCodes},
    {kSymmetricTimeRangeNames, kSymmetricTimeRangeValues, 6, false, kCodes},
    {kMultiplierNames, kMultiplierValues, 0, false, false},
    {kScopeRangeNames, kScopeRangeValues, 6, false, kCodes},
    {kChannelMultiplierNames, kChannelMultiplierValues, 0, false, false},
    {kScopeTypeNames, kScopeTypeValues, 0, false, false},
    {kScopeRangeNames, kScopeRangeValues, 0, false, kCodes},
    {kChannelMultiplierNames, kChannelMultiplierValues, 0, false, false},
    {kFrequencyRangeNames, kFrequencyRangeValues, 1, false, kCodes},
    {kMultiplierNames, kMultiplierValues, 0, false, false},
    {kSpectrumRangeNames, kSpectrumRangeValues, 6, false, kCodes},
    {kUnitRangeNames, kUnitRangeValues, 1, false, kCodes},
    {kChannelMultiplierNames, kChannelMultiplierValues, 0, false, false},
    {kSpectrumRangeNames, kSpectrumRangeValues, 0, false, kCodes},
    {kUnitRangeNames, kUnitRangeValues, 0, false, kCodes},
    {kChannelMultiplierNames, kChannelMultiplierValues, 0, false, false},
    {kFftPointNames, kFftPointValues, 2, false, false},
    {kWindowNames, kWindowValues, 0, false, false},
    {kPhaseRangeNames, kPhaseRangeValues, 0, false, kCodes},
    {kPhaseRangeNames, kPhaseRangeValues, 0, false, kCodes},
    {kCorrelationRangeNames, kCorrelationRangeValues, 0, false, kCodes},
    {kCorrelationRangeNames, kCorrelationRangeValues, 0, false, kCodes},
    {kSpectrumTypeNames, kSpectrumTypeValues, 0, false, false},
    {kTriggerModeNames, kTriggerModeValues, 1, false, false},
    {kTriggerSourceNames, kTriggerSourceValues, 0, false, false},
    {kTriggerEdgeNames, kTriggerEdgeValues, 0, false, false},
    {kTriggerLevelNames, kTriggerLevelValues, 0, false, false},
    {kTriggerLevelNames, kTriggerLevelValues, 0, false, false},
    {kRecordLengthNames, kRecordLengthValues, 441, kEditable, false},
    {kSamplingFrequencyNames, kSamplingFrequencyValues, 5, false, false},
    {kChannelsNames, kChannelsValues, 0, false, false},
    {kSamplingResolutionNames, kResolutionValues, 1, false, false},
    {kGeneratorResolutionNames, kResolutionValues, 1, false, false},
    {kGeneratorRateNames, kGeneratorRateValues, 2, false, false},
    {kChannelsNames, kChannelsValues, 0, false, false},
    {kWaveformNames, kWaveformValues, 1, false, false},
    {kWaveformNames, kWaveformValues, 0, false, false},
    {kFrequencyPresetNames, kFrequencyPresetValues, 1000, kEditable, false},
    {kFrequencyPresetNames, kFrequencyPresetValues, 1000, kEditable, false},
    {kAmplitudePresetNames, kAmplitudePresetValues, 1000, kEditable, false},
    {kAmplitudePresetNames, kAmplitudePresetValues, 1000, kEditable, false},
    {kPhasePresetNames, kPhasePresetValues, 0, kEditable, false},
};

constexpr bool LayoutsAreConsistent() {
    for (const Layout& layout : kLayouts) {
        if (layout.names.size() != layout.values.size()) return false;
        if (!layout.editable &&
            (layout.builtInDefault < 0 || layout.builtInDefault >= static_cast<std::int32_t>(layout.names.size())))
            return false;
    }
    return true;
}
static_assert(LayoutsAreConsistent(), "every list has one value per row and a default row inside it");

struct CommandTable {
    int commandId;
    RangeTableId table;
};

constexpr CommandTable kCommandTables[] = {
    {65010, RangeTableId::TriggerMode},
    {65011, RangeTableId::TriggerSource},
    {65012, RangeTableId::TriggerEdge},
    {65013, RangeTableId::TriggerLevel},
    {65017, RangeTableId::SamplingChannels},
    {65018, RangeTableId::SamplingFrequency},
    {65019, RangeTableId::SamplingResolution},
    {65020, RangeTableId::RecordLength},
    {65021, RangeTableId::ScopeTimeRange},
    {65022, RangeTableId::ScopeRangeA},
    {65023, RangeTableId::ScopeTimeMultiplier},
    {65024, RangeTableId::ScopeMultiplierA},
    {65027, RangeTableId::ScopeRangeB},
    {65028, RangeTableId::ScopeMultiplierB},
    {65029, RangeTableId::ScopeType},
    {65030, RangeTableId::SpectrumType},
    {65033, RangeTableId::SpectrumFrequencyRange},
    {65034, RangeTableId::SpectrumRangeA},
    {65035, RangeTableId::SpectrumRangeB},
    {65036, RangeTableId::SpectrumMultiplierB},
    {65037, RangeTableId::SpectrumMultiplierA},
    {65038, RangeTableId::SpectrumFrequencyMultiplier},
    {65041, RangeTableId::FftPoints},
    {65042, RangeTableId::WindowFunction},
};

}  // namespace

std::optional<std::int32_t> RangeTable::value(int row) const {
    if (!contains(row)) return std::nullopt;
    return values[static_cast<std::size_t>(row)];
}

std::optional<std::string_view> RangeTable::name(int row) const {
    if (!contains(row)) return std::nullopt;
    return names[static_cast<std::size_t>(row)];
}

std::optional<RangeCode> RangeTable::code(int row) const {
    if (!contains(row)) return std::nullopt;
    return RangeCode::FromValue(values[static_cast<std::size_t>(row)]);
}

std::optional<int> RangeTable::rowOf(std::int32_t wanted) const {
    for (int row = 0; row < count; ++row)
        if (values[static_cast<std::size_t>(row)] == wanted) return row;
    return std::nullopt;
}

std::optional<int> RangeTable::rowNamed(std::string_view wanted) const {
    for (int row = 0; row < count; ++row)
        if (names[static_cast<std::size_t>(row)] == wanted) return row;
    return std::nullopt;
}

RangeTables::RangeTables() {
    for (int i = 0; i < kRangeTableCount; ++i) {
        const Layout& layout = kLayouts[i];
        RangeTable& table = tables_[static_cast<std::size_t>(i)];
        table.count = static_cast<std::int32_t>(layout.names.size());
        table.names = layout.names;
        table.values = layout.values;
        table.editable = layout.editable;
        table.holdsRangeCodes = layout.holdsRangeCodes;
    }
    SetRangeDefaults();
}

void RangeTables::SetRangeDefaults() {
    for (int i = 0; i < kRangeTableCount; ++i)
        tables_[static_cast<std::size_t>(i)].defaultIndex = kLayouts[i].builtInDefault;
}

const RangeTable* RangeTables::at(int index) const {
    if (index < 0 || index >= kRangeTableCount) return nullptr;
    return &tables_[static_cast<std::size_t>(index)];
}

void RangeTables::setDefaultIndex(RangeTableId id, std::int32_t defaultIndex) {
    tables_[static_cast<std::size_t>(id)].defaultIndex = defaultIndex;
}

std::int32_t RangeTables::BuiltInDefault(RangeTableId id) {
    return kLayouts[static_cast<int>(id)].builtInDefault;
}

std::optional<RangeTableId> RangeTables::ForCommand(int commandId) {
    for (const CommandTable& entry : kCommandTables)
        if (entry.commandId == commandId) return entry.table;
    return std::nullopt;
}

}  // namespace tonewell
