#include "app/FrameBars.h"

#include "app/FrameCommands.h"

namespace tonewell {

namespace {

std::string Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

// A control with its string-table text ("prompt \n tip").
FrameBarControl FromText(const ToolbarItem& item) {
    return {item, Trimmed(item.prompt()), Trimmed(item.tip())};
}

// A control whose bar gives it no text: its name serves as prompt too.
FrameBarControl Named(const ToolbarItem& item, std::string_view name) {
    return {item, std::string(name), std::string(name)};
}

// A selector list of the spectrum bars with its own text ("prompt \n tip").
FrameBarControl SpectrumList(int id, int width, std::string_view text, ListControl& list) {
    return FromText(ToolbarItem::Of(id, ToolbarControlKind::DropDownList, width, text, &list));
}

FrameBarControl Label(std::string_view text) {
    ToolbarItem item;
    item.kind = ToolbarControlKind::Label;
    item.label = text;
    return {item, {}, std::string(text)};
}

std::vector<FrameBarControl> FromTexts(std::span<const ToolbarItem> items) {
    std::vector<FrameBarControl> controls;
    for (const ToolbarItem& item : items) controls.push_back(FromText(item));
    return controls;
}

// The oscilloscope lists carry no string-table text; they are named after what they select.
std::string_view ScopeListName(int id) {
    switch (id) {
    case kScopeTimeRangeId: return "Time range";
    case kScopeTimeMultiplierId: return "Time multiplier";
    case kScopeRangeAId: return "Channel A range";
    case kScopeMultiplierAId: return "Channel A multiplier";
    case kScopeRangeBId: return "Channel B range";
    case kScopeMultiplierBId: return "Channel B multiplier";
    case kScopeTypeId: return "Oscilloscope type";
    default: return "Oscilloscope selector";
    }
}

std::vector<FrameBarControl> ScopeControls(std::span<const ToolbarItem> items) {
    std::vector<FrameBarControl> controls;
    for (const ToolbarItem& item : items) {
        if (item.kind == ToolbarControlKind::Label)
            controls.push_back(Label(item.label));
        else if (item.resourceText.empty())
            controls.push_back(Named(item, ScopeListName(item.id)));
        else
            controls.push_back(FromText(item));
    }
    return controls;
}

}  // namespace

std::vector<FrameBar> MakeFrameBars(FrontPanel& panel) {
    using S = BarSlot;
    SpectrumSelectors& s = panel.spectrum;
    std::vector<FrameBar> bars;
    bars.push_back({"Trigger", S::TriggerSampling, 1, FromTexts(panel.trigger.items()), kCommandShowSamplingBar});
    bars.push_back({"Sampling", S::TriggerSampling, 2, FromTexts(panel.sampling.items()), kCommandShowTriggerBar});
    bars.push_back({"Oscilloscope 1", S::Scope, 1, ScopeControls(panel.scope.bar1()), kCommandShowScopeBar2});
    bars.push_back({"Oscilloscope 2", S::Scope, 2, ScopeControls(panel.scope.bar2()), kCommandShowScopeBar1});
    bars.push_back({"Spectrum Analyzer 1", S::Spectrum, 1,
                    {
                        SpectrumList(kSpectrumTypeId, 40, "Select spectrum analyzer type \n Change spectrum analyzer type", s.type),
                        SpectrumList(kSpectrumFrequencyRangeId, 50, "Select frequency or time lag range \n Change X range", s.xRange),
                        SpectrumList(kSpectrumFrequencyMultiplierId, 50, "Select X multiplier \n Change X multiplier", s.xMultiplier),
                        SpectrumList(kFftPointsId, 50, "Select FFT points \n Change FFT points", s.fftPoints),
                        SpectrumList(kWindowFunctionId, 40, "Select window function \n Change window function", s.window),
                    },
                    kCommandShowSpectrumBar2});
    bars.push_back({"Spectrum Analyzer 2", S::Spectrum, 2,
                    {
                        Label("A"),
                        SpectrumList(kSpectrumRangeAId, 50, "Select channel A range \n Change channel A range", s.rangeA),
                        SpectrumList(kSpectrumMultiplierAId, 45, "Select channel A multiplier \n Change channel A multiplier",
                                     s.multiplierA),
                        Label("B"),
                        SpectrumList(kSpectrumRangeBId, 50, "Select channel B range \n Change channel B range", s.rangeB),
                        SpectrumList(kSpectrumMultiplierBId, 45, "Select channel B multiplier \n Change channel B multiplier",
                                     s.multiplierB),
                    },
                    kCommandShowSpectrumBar1});
    return bars;
}

}  // namespace tonewell
