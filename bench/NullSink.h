#pragma once
// A private PulseAudio daemon with a null sink for one benchmark run (scripts/pulse-null-sink),
// and the environment leading PortAudio to it. When it cannot start, reason() says why.

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

namespace tonewell::bench {

class NullSink {
public:
    NullSink() {
        char pattern[] = "/tmp/tonewell-bench-XXXXXX";
        if (::mkdtemp(pattern) == nullptr) {
            reason_ = "no temporary folder";
            return;
        }
        dir_ = pattern;
        const std::string command = "'" + script() + "' start '" + dir_ + "' --rate 96000 --owner " +
                                    std::to_string(::getpid()) + " >'" + dir_ + "/start.log' 2>&1";
        if (std::system(command.c_str()) != 0) {
            std::ifstream log(dir_ + "/start.log");
            std::getline(log, reason_);
            reason_ = "the PulseAudio daemon could not start: " + reason_;
            return;
        }
        std::ifstream env(dir_ + "/env");
        for (std::string line; std::getline(env, line);) {
            const auto equals = line.find('=');
            if (equals != std::string::npos)
                ::setenv(line.substr(0, equals).c_str(), line.substr(equals + 1).c_str(), 1);
        }
        running_ = true;
    }
    ~NullSink() {
        if (dir_.empty()) return;
        [[maybe_unused]] int ignored = std::system(("'" + script() + "' stop '" + dir_ + "' >/dev/null 2>&1").c_str());
        std::error_code error;
        std::filesystem::remove_all(dir_, error);
    }
    NullSink(const NullSink&) = delete;
    NullSink& operator=(const NullSink&) = delete;

    bool running() const { return running_; }
    const std::string& reason() const { return reason_; }

private:
    static std::string script() { return std::string(TONEWELL_SOURCE_DIR) + "/scripts/pulse-null-sink"; }
    std::string dir_;
    std::string reason_;
    bool running_ = false;
};

}  // namespace tonewell::bench
