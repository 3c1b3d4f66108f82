#pragma once
// A private PulseAudio daemon with a null sink for one test (scripts/pulse-null-sink), and the
// environment that leads PortAudio to it through ALSA. The daemon stops when this object goes,
// and also when the test process dies. Tests run one per process, so setting the environment
// here touches no other test.

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "support/TempDir.h"

namespace tonewell::testing {

class PulseNullSink {
public:
    explicit PulseNullSink(unsigned rate = 44100) {
        const std::string script = std::string(TONEWELL_SOURCE_DIR) + "/scripts/pulse-null-sink";
        const std::string log = (dir_ / "start.log").string();
        const std::string command = "'" + script + "' start '" + dir_.path().string() +
                                    "' --rate " + std::to_string(rate) + " --owner " +
                                    std::to_string(::getpid()) + " >'" + log + "' 2>&1";
        const int status = std::system(command.c_str());
        if (status != 0) {
            reason_ = "the PulseAudio daemon could not start: " + readFileBytes(log);
            while (!reason_.empty() && reason_.back() == '\n') reason_.pop_back();
            return;
        }
        std::ifstream env(dir_ / "env");
        for (std::string line; std::getline(env, line);) {
            const auto equals = line.find('=');
            if (equals == std::string::npos) continue;
            const std::string name = line.substr(0, equals);
            const char* old = std::getenv(name.c_str());
            saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
            ::setenv(name.c_str(), line.substr(equals + 1).c_str(), 1);
        }
        running_ = true;
    }
    ~PulseNullSink() {
        const std::string script = std::string(TONEWELL_SOURCE_DIR) + "/scripts/pulse-null-sink";
        const std::string command =
            "'" + script + "' stop '" + dir_.path().string() + "' >/dev/null 2>&1";
        [[maybe_unused]] int ignored = std::system(command.c_str());
        for (const auto& [name, value] : saved_) {
            if (value) ::setenv(name.c_str(), value->c_str(), 1);
            else ::unsetenv(name.c_str());
        }
    }
    PulseNullSink(const PulseNullSink&) = delete;
    PulseNullSink& operator=(const PulseNullSink&) = delete;

    bool running() const { return running_; }
    // Why the daemon is not running, for the skip message.
    const std::string& reason() const { return reason_; }

private:
    TempDir dir_;
    bool running_ = false;
    std::string reason_;
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

}  // namespace tonewell::testing
