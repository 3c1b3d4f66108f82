// record: records from the sound input as "Run/Stop monitoring input" does and saves the last.

#include "main/cli/Commands.h"

#include "acquisition/CaptureEngine.h"
#include "platform/audio/AudioBackendSelection.h"

#include <algorithm>
#include <charconv>

namespace tonewell::cli {
namespace {

// The keys of record's --set: each names a control of the sampling or trigger bar.
constexpr const char* kRecordKeys =
    "samplingRate, channels, resolution, recordLength, triggerMode, triggerSource, triggerEdge, "
    "triggerLevel, triggerDelay";

// One --set KEY=VALUE of record, read against the bars' lists: the row to select, or the text
// for the box.
struct RecordSetting {
    std::string key;
    int row = -1;
    std::string text;
};

// The row of a list that shows `value` (or, for lists of numbers, whose value it is).
int RowShowing(const RangeTables& tables, Id id, const std::string& key, const std::string& value) {
    const RangeTable& table = tables[id];
    std::optional<int> row = table.rowNamed(value);
    for (int r = 0; !row && r < static_cast<int>(table.values.size()); ++r)
        if (std::to_string(table.values[static_cast<std::size_t>(r)]) == value) row = r;
    if (!row) throw UsageError{key + " must be one of " + Joined(SelectorNames(id), ", ") + ", not \"" + value + "\""};
    return *row;
}

// The lists of the keys that name one.
std::optional<Id> RecordKeyList(const std::string& key) {
    if (key == "samplingRate") return Id::SamplingFrequency;
    if (key == "channels") return Id::SamplingChannels;
    if (key == "resolution") return Id::SamplingResolution;
    if (key == "triggerMode") return Id::TriggerMode;
    if (key == "triggerSource") return Id::TriggerSource;
    if (key == "triggerEdge") return Id::TriggerEdge;
    return std::nullopt;
}

// In the toolbar's words: the lists' names ("48000H", "A&B", "16B", "Repeat", "B", "Dn"), the
// record length "Point" as a number of samples, the level and delay as percentages (clamped to
// -100..100 as the spin buttons do).
RecordSetting ReadRecordKey(const RangeTables& tables, const std::string& assignment) {
    const auto equals = assignment.find('=');
    if (equals == std::string::npos) throw UsageError{"--set takes KEY=VALUE, not \"" + assignment + "\""};
    RecordSetting setting;
    setting.key = assignment.substr(0, equals);
    const std::string value = assignment.substr(equals + 1);
    if (auto list = RecordKeyList(setting.key)) {
        setting.row = RowShowing(tables, *list, setting.key, value);
    } else if (setting.key == "recordLength") {
        setting.text = std::to_string(WholeNumber(setting.key, value));
    } else if (setting.key == "triggerLevel" || setting.key == "triggerDelay") {
        std::string number = value;
        if (!number.empty() && number.back() == '%') number.pop_back();
        setting.text = std::to_string(std::clamp<std::int64_t>(WholeNumber(setting.key, number), -100, 100)) + "%";
    } else {
        throw UsageError{"--set takes one of " + std::string(kRecordKeys) + ", not \"" + setting.key + "\""};
    }
    return setting;
}

// Into the sampling and trigger bars, as the user leaves them; capture reads them when it starts.
void ApplyRecordSetting(FrontPanel& panel, const RecordSetting& setting) {
    const std::string& key = setting.key;
    ListControl* list = key == "samplingRate"    ? &panel.sampling.frequency
                        : key == "channels"      ? &panel.sampling.channels
                        : key == "resolution"    ? &panel.sampling.resolution
                        : key == "triggerMode"   ? &panel.trigger.mode
                        : key == "triggerSource" ? &panel.trigger.source
                        : key == "triggerEdge"   ? &panel.trigger.edge
                                                 : nullptr;
    if (list) list->setSelection(setting.row);
    else if (key == "recordLength") panel.sampling.point.setText(setting.text);
    else if (key == "triggerLevel") panel.trigger.level.setText(setting.text);
    else if (key == "triggerDelay") panel.trigger.delay.setText(setting.text);
}

int RunRecord(const Arguments& arguments) {
    StopSignals stopSignals;
    const std::int64_t wanted = WholeNumber("--records", arguments.get("records").value_or("1"));
    if (wanted < 1) throw UsageError{"--records takes a number of records from 1 on"};
    double timeout = 10;
    if (auto text = arguments.get("timeout")) {
        auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), timeout);
        if (error != std::errc() || end != text->data() + text->size() || !(timeout > 0) || timeout > 1e6)
            throw UsageError{"--timeout takes a number of seconds above 0, not \"" + *text + "\""};
    }
    const std::string output = *arguments.get("output");
    std::vector<RecordSetting> settings;
    {
        const RangeTables tables;
        for (const std::string& assignment : arguments.all("set")) settings.push_back(ReadRecordKey(tables, assignment));
    }

    ConsoleInstrument console(std::cerr, {}, CreateAudioBackendFromEnvironment());
    Instrument& instrument = console.instrument;
    ToolShell& shell = console.shell;
    if (!LoadConfigurationOption(arguments, instrument.configuration)) return kExitRefused;
    if (auto panelPath = arguments.get("panel")) {
        if (!instrument.panel.loadPanel(*panelPath)) return Refused(shell, "cannot read " + *panelPath);
        instrument.panel.createBars();
        instrument.scopePanel.takeTimeRange();
    }
    for (const RecordSetting& setting : settings) ApplyRecordSetting(instrument.panel, setting);
    // The bar offers source B only while both channels are sampled.
    if (!instrument.panel.sampling.bothChannels(instrument.tables) &&
        instrument.tables[Id::TriggerSource].value(instrument.panel.trigger.source.selection()) == 1)
        throw UsageError{"triggerSource=B needs channels=A&B"};

    HeadlessCaptureHooks headless(instrument.captureLink);
    CaptureEngine& capture = instrument.capture;
    capture.attachHooks(&headless);
    capture.startClickPause = std::chrono::milliseconds(0);
    const std::atomic<bool>& running = instrument.run.inputRunning;

    const std::size_t shownAtStart = shell.messageCount();
    const auto started = std::chrono::steady_clock::now();
    const auto deadline = started + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                        std::chrono::duration<double>(timeout));
    capture.RunStop();
    if (!running || shell.messageCount() != shownAtStart) {
        // A device error's name or the refusal of the record length is out already.
        if (running) capture.RunStop();
        return Refused(shell, "capture did not start");
    }

    // The tool is the main frame: timer 1 every 30 ms, timer 3 through the posted work.
    constexpr auto kReleasePeriod = std::chrono::milliseconds(kRecordReleaseMilliseconds);
    auto nextRelease = started + kReleasePeriod;
    std::uint64_t overruns = 0;
    std::string failure;
    while (capture.recordsHandedOver() < static_cast<std::uint64_t>(wanted)) {
        shell.waitForWork(std::chrono::milliseconds(10));
        shell.runPosted();
        const auto now = std::chrono::steady_clock::now();
        if (now >= nextRelease) {
            capture.OnRecordRelease();
            nextRelease = now + kReleasePeriod;
        }
        if (shell.messageCount() != shownAtStart) {
            failure = "the input device failed";
            break;
        }
        if (capture.recordsHandedOver() >= static_cast<std::uint64_t>(wanted)) break;
        if (!running) {
            // "Single" stops after each record: start again for the next.
            overruns += capture.overrunCount();
            capture.RunStop();
            if (!running || shell.messageCount() != shownAtStart) {
                failure = "capture did not start again";
                break;
            }
        }
        if (stopSignals.arrived()) {
            failure = "interrupted";
            break;
        }
        if (now >= deadline) {
            const std::uint64_t got = capture.recordsHandedOver();
            failure = got == 0 ? "no trigger within " + FloatText(static_cast<float>(timeout)) + " s: nothing recorded"
                               : "only " + std::to_string(got) + " of " + std::to_string(wanted) + " records within " +
                                     FloatText(static_cast<float>(timeout)) + " s";
            break;
        }
    }
    if (running) capture.RunStop();
    overruns += capture.overrunCount();
    shell.runPosted();
    if (failure.empty() && shell.messageCount() != shownAtStart) failure = "the input device failed";

    std::cout << "backend=" << console.audio->displayName() << "\n"
              << "records=" << capture.recordsHandedOver() << "\n"
              << "overruns=" << overruns << "\n";
    if (overruns > 0)
        std::cerr << "tonewell-cli: the input lost sound " << overruns << " time(s) (overruns): a record may have gaps\n";
    if (!failure.empty()) {
        std::cerr << "tonewell-cli: " << failure << "\n";
        return kExitRefused;
    }
    // File Save: the record with its IBIN block and note, written safely.
    return instrument.document.OnSaveDocument(output) ? kExitOk : kExitRefused;
}

}  // namespace

Command RecordCommand() {
    return {{"record", "",
      "Captures from the sound input as \"Run/Stop monitoring input\" does, with the sampling\n"
      "and trigger settings of the panel file and the --set keys, waits for --records records\n"
      "and saves the last exactly as File Save does. The backend is chosen as for play. Prints\n"
      "backend=, records= and overruns= lines; sound the input lost is also reported on\n"
      "stderr. Exits 1 when no trigger (or too few) arrived within --timeout seconds, and on a\n"
      "device error, whose name (MMSYSERR_BADDEVICEID, ...) is printed on stderr.",
      {{"output", "FILE.wav", {}, false, "record file to write (required)", true},
       {"panel", "FILE.psf", {}, false, "panel setting file whose sampling and trigger bars to start from"},
       kConfigOption,
       {"set", "KEY=VALUE", {}, true,
        std::string("a bar's setting in its own words: ") + kRecordKeys +
            " (samplingRate=48000H, channels=A&B, resolution=16B, recordLength=4800, triggerMode=Repeat, "
            "triggerSource=A, triggerEdge=Up, triggerLevel=0, triggerDelay=-50)"},
       {"records", "K", {}, false, "records to wait for (default 1); the last is saved"},
       {"timeout", "S", {}, false, "seconds to wait for them (default 10)"}}},
     RunRecord};
}

}  // namespace tonewell::cli
