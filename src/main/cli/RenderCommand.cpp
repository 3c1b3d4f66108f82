// render: a view of a record drawn as the program draws it, written as PNG.

#include "main/cli/Commands.h"

#include "app/ReadoutOptions.h"

#include "plot/qt/PlotPicture.h"

#include <algorithm>
#include <charconv>

namespace tonewell::cli {
namespace {

constexpr const char* kDefaultPictureSize = "960x600";

// "WIDTHxHEIGHT", each 1..16384 pixels.
QSize PictureSize(const std::string& text) {
    int width = 0, height = 0;
    const char* end = text.data() + text.size();
    auto [afterWidth, widthError] = std::from_chars(text.data(), end, width);
    bool good = widthError == std::errc() && afterWidth != end && (*afterWidth == 'x' || *afterWidth == 'X');
    if (good) {
        auto [afterHeight, heightError] = std::from_chars(afterWidth + 1, end, height);
        good = heightError == std::errc() && afterHeight == end;
    }
    if (!good || width < 1 || height < 1 || width > 16384 || height > 16384)
        throw UsageError{"--size takes WIDTHxHEIGHT, each 1 to 16384 pixels, not \"" + text + "\""};
    return {width, height};
}

// The options that belong to one view only.
const std::vector<std::string> kScopeRenderOptions{"scope-type"};
const std::vector<std::string> kSpectrumRenderOptions{"type", "fft", "window", "xscale", "yscale", "normalized"};

// The user picks a list's row by its name, as on the spectrum bars; false when the list does not
// offer it.
bool PickRow(ListControl& list, const std::string& name) {
    const auto& items = list.items();
    const auto found = std::find(items.begin(), items.end(), name);
    if (found == items.end() || !list.operable()) return false;
    list.userSelect(static_cast<int>(found - items.begin()));
    return true;
}

// The spectrum view of the record, from the panel's choices or the program's defaults for a record
// opened while it runs, then the options picked as on the bars and in the axis dialogs.
int RenderSpectrum(const Arguments& arguments, ConsoleInstrument& console, bool fromPanel, QSize size) {
    Instrument& instrument = console.instrument;
    const std::size_t shownBefore = console.shell.messageCount();
    instrument.spectrumPanel.takeRecord(fromPanel);
    SpectrumSelectors& bars = instrument.panel.spectrum;
    // N first, so that a correlation's default lag range fits the N asked for.
    if (auto fft = arguments.get("fft")) PickRow(bars.fftPoints, *fft);
    if (auto type = arguments.get("type"); type && !PickRow(bars.type, *type)) {
        std::cerr << "tonewell-cli: spectrum type " << *type << " needs a record of channels A and B\n";
        return kExitRefused;
    }
    // The list a type other than AMS holds at "REC" takes no other window.
    if (auto window = arguments.get("window"); window && bars.window.text() != *window && !PickRow(bars.window, *window)) {
        std::cerr << "tonewell-cli: the window function applies to the amplitude spectrum (AMS) only\n";
        return kExitRefused;
    }
    SpectrumScaleModes modes = instrument.spectrumPanel.settings().scales;
    if (auto x = arguments.get("xscale")) modes.xScale = *x == "log" ? SpectrumXScale::Log : SpectrumXScale::Linear;
    if (auto y = arguments.get("yscale")) modes.yScale = *y == "db" ? SpectrumYScale::Db : SpectrumYScale::Volt;
    if (auto normalized = arguments.get("normalized")) modes.normalized = *normalized == "on";
    instrument.spectrumPanel.setScaleModes(modes);
    // Out of memory for the transform: the view has shown why.
    if (console.shell.messageCount() != shownBefore) return kExitRefused;
    instrument.readouts.refresh();
    if (!WritePlotPicture(instrument.spectrum, *arguments.get("output"), size)) {
        std::cerr << "tonewell-cli: cannot write " << *arguments.get("output") << "\n";
        return kExitRefused;
    }
    return kExitOk;
}

// --measurements and --clock-ppm as the Display Setting's choices.
ReadoutOptions ReadoutOptionsOf(const Arguments& arguments) {
    ReadoutOptions options;
    options.showMeasurements = arguments.get("measurements").has_value();
    if (auto text = arguments.get("clock-ppm")) {
        if (!options.showMeasurements) throw UsageError{"--clock-ppm needs --measurements"};
        const std::optional<double> ppm = ParseClockPpm(*text);
        if (!ppm) throw UsageError{std::string("--clock-ppm: ") + kClockPpmMessage + ", not \"" + *text + "\""};
        options.clockPpm = *ppm;
    }
    return options;
}

int RunRender(const Arguments& arguments) {
    const QSize size = PictureSize(arguments.get("size").value_or(kDefaultPictureSize));
    const ReadoutOptions readoutOptions = ReadoutOptionsOf(arguments);
    const bool spectrumView = arguments.get("view") == "spectrum";
    for (const std::string& option : spectrumView ? kScopeRenderOptions : kSpectrumRenderOptions)
        if (arguments.get(option))
            throw UsageError{"--" + option + " is for --view " + (spectrumView ? "scope" : "spectrum")};
    ConsoleInstrument console;
    Instrument& instrument = console.instrument;
    if (!LoadConfigurationOption(arguments, instrument.configuration)) return kExitRefused;
    const auto panelPath = arguments.get("panel");
    if (panelPath) {
        if (!instrument.panel.loadPanel(*panelPath)) return Refused(console.shell, "cannot read " + *panelPath);
        instrument.panel.createBars();
        instrument.scopePanel.takeTimeRange();
    }
    instrument.readouts.setOptions(readoutOptions);
    if (spectrumView) {
        const int panelType = instrument.tables[Id::ScopeType].defaultIndex;
        if (!OpenRecord(console, arguments.file, panelPath ? panelType : kScopeTypeSeparate)) return kExitRefused;
        return RenderSpectrum(arguments, console, panelPath.has_value(), size);
    }
    const auto typeOption = arguments.get("scope-type");
    const int panelType = instrument.tables[Id::ScopeType].defaultIndex;
    const int type = typeOption ? std::stoi(*typeOption) : (panelPath ? panelType : kScopeTypeSeparate);
    if (!OpenRecord(console, arguments.file, type)) return kExitRefused;

    // The view's first update for the record: with a panel its selectors stay, as for a record
    // opened after Load Panel Setting; without one the view fits itself to the record, as for
    // any record opened while the program runs.
    instrument.scopePanel.takeRecord(panelPath.has_value());
    if (type != instrument.scopePanel.settings().type) {
        // Through the type list, as the user picks it.
        instrument.panel.scope.type.userSelect(type);
        if (type != instrument.scopePanel.settings().type) {
            std::cerr << "tonewell-cli: oscilloscope type " << type << " needs a record of channels A and B\n";
            return kExitRefused;
        }
    }
    instrument.readouts.refresh();
    if (!WritePlotPicture(instrument.scope, *arguments.get("output"), size)) {
        std::cerr << "tonewell-cli: cannot write " << *arguments.get("output") << "\n";
        return kExitRefused;
    }
    return kExitOk;
}

}  // namespace

Command RenderCommand() {
    const std::vector<std::string> scopeTypes = SelectorValueTexts(Id::ScopeType);
    OptionForm fft = SelectorOption("fft", Id::FftPoints, "FFT points (default 512)");
    fft.argument = "N";
    return {{"render", "FILE.wav",
      "Draws a view of a record as the program shows it and writes the picture as PNG; no\n"
      "display is needed. Without --panel the oscilloscope fits its ranges to the record and the\n"
      "spectrum view starts from its defaults, as for a record opened while the program runs;\n"
      "with it the panel's selections are used. The spectrum options then act as picking them\n"
      "on the spectrum bars and in the axis scale dialogs.",
      {{"view", "scope|spectrum", {"scope", "spectrum"}, false, "the view to draw", true},
       {"output", "FILE.png", {}, false, "picture to write (required)", true},
       {"size", "WxH", {}, false, std::string("picture size in pixels (default ") + kDefaultPictureSize + ")"},
       {"panel", "FILE.psf", {}, false, "panel setting file whose selections to draw with"},
       kConfigOption,
       {"scope-type", Joined(scopeTypes, "|"), scopeTypes, false,
        "oscilloscope type: 0 A and B, 1 A+B, 2 A-B, 3 X-Y (default: the panel's, else 0)"},
       SelectorOption("type", Id::SpectrumType, "spectrum type (default: the panel's, else AMS)"),
       [&] {
           OptionForm panelFft = fft;
           panelFft.help = "FFT points (default: the panel's, else 512)";
           return panelFft;
       }(),
       SelectorOption("window", Id::WindowFunction, "window function, AMS only (default: the panel's, else REC)"),
       {"xscale", "lin|log", {"lin", "log"}, false, "frequency axis of AMS (default: the panel's, else lin)"},
       {"yscale", "volt|db", {"volt", "db"}, false, "amplitude axis of AMS (default: the panel's, else volt)"},
       {"normalized", "on|off", {"on", "off"}, false,
        "AMS amplitudes as a fraction of each channel's peak (default: the panel's, else on)"},
       {"measurements", "", {}, false,
        "show the tone measurements as the program's \"Show measurements\" does: the\n"
        "                            frequency on the oscilloscope's lines, frequency, level,\n"
        "                            THD, THD+N and SINAD per channel above an AMS spectrum"},
       {"clock-ppm", "PPM", {}, false,
        "sampling clock correction in parts per million (-1000..1000, default 0),\n"
        "                            applied to the frequencies; find it by reading a known\n"
        "                            reference with 0: PPM = (reference / reading - 1) x 1000000"}}},
     RunRender};
}

}  // namespace tonewell::cli
