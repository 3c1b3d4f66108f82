#include "main/cli/CliSupport.h"

#include "app/InstrumentConfigurationFile.h"

#include <charconv>
#include <fstream>
#include <random>
#include <stdexcept>

namespace tonewell::cli {

int Refused(const ToolShell& shell, const std::string& what) {
    if (shell.messageCount() == 0) std::cerr << "tonewell-cli: " << what << "\n";
    return kExitRefused;
}

std::string FloatText(float value) {
    char text[64];
    auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

std::vector<std::string> SelectorNames(Id id) {
    RangeTables tables;
    std::vector<std::string> names;
    for (std::string_view name : tables[id].names) names.emplace_back(name);
    return names;
}

std::vector<std::string> SelectorValueTexts(Id id) {
    RangeTables tables;
    std::vector<std::string> texts;
    for (std::int32_t value : tables[id].values) texts.push_back(std::to_string(value));
    return texts;
}

std::int32_t SelectorValue(const RangeTables& tables, Id id, const std::string& name) {
    const RangeTable& table = tables[id];
    return table.value(table.rowNamed(name).value_or(table.defaultIndex)).value_or(0);
}

std::string Joined(const std::vector<std::string>& words, std::string_view separator) {
    std::string text;
    for (const std::string& word : words) text += (text.empty() ? "" : std::string(separator)) + word;
    return text;
}

std::string Lowercase(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::int64_t WholeNumber(const std::string& what, const std::string& text) {
    std::int64_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty())
        throw UsageError{what + " takes a whole number, not \"" + text + "\""};
    return value;
}

bool LoadConfigurationOption(const Arguments& arguments, InstrumentConfiguration& configuration) {
    auto path = arguments.get("config");
    if (!path || LoadInstrumentConfiguration(*path, configuration)) return true;
    std::cerr << "tonewell-cli: cannot read the configuration file " << *path << "\n";
    return false;
}

bool OpenRecord(ConsoleInstrument& console, const std::string& file, int scopeType) {
    if (console.instrument.document.OnOpenDocument(file, scopeType)) return true;
    Refused(console.shell, "cannot open " + file);
    return false;
}

namespace {

// A scratch folder for exports that go to stdout; removed with the object.
class ScratchFolder {
public:
    ScratchFolder() {
        std::random_device random;
        for (;;) {
            path_ = std::filesystem::temp_directory_path() /
                    ("tonewell-cli-" + std::to_string(random()) + std::to_string(random()));
            std::error_code error;
            if (std::filesystem::create_directory(path_, error)) break;
            if (error) throw std::runtime_error("cannot create a temporary folder");
        }
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::filesystem::path file(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};


}  // namespace

int ExportTo(const Arguments& arguments, const std::function<bool(const std::filesystem::path&)>& write) {
    if (auto output = arguments.get("output")) return write(*output) ? kExitOk : kExitRefused;
    ScratchFolder scratch;
    auto path = scratch.file("export.txt");
    if (!write(path)) return kExitRefused;
    std::ifstream in(path, std::ios::binary);
    std::cout << in.rdbuf();
    std::cout.flush();
    return std::cout ? kExitOk : kExitRefused;
}

namespace {

// The signal that asked the tool to stop (SIGINT or SIGTERM), 0 while none came.
volatile std::sig_atomic_t gStopSignal = 0;

extern "C" void OnStopSignal(int signal) { gStopSignal = signal; }

}  // namespace

StopSignals::StopSignals() {
    gStopSignal = 0;
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &oldInterrupt_);
    sigaction(SIGTERM, &action, &oldTerminate_);
}

StopSignals::~StopSignals() {
    sigaction(SIGINT, &oldInterrupt_, nullptr);
    sigaction(SIGTERM, &oldTerminate_, nullptr);
}

bool StopSignals::arrived() const { return gStopSignal != 0; }

OptionForm SelectorOption(std::string name, Id id, std::string help) {
    std::vector<std::string> names = SelectorNames(id);
    return {std::move(name), Joined(names, "|"), names, false, std::move(help)};
}

const OptionForm kConfigOption{"config", "Vorel.cfg", {}, false,
                               "instrument configuration (calibration, DC removal) to use"};

}  // namespace tonewell::cli
