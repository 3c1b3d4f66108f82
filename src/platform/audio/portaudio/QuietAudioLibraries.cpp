#include "platform/audio/portaudio/QuietAudioLibraries.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

namespace tonewell {

namespace {

// ALSA's error handler type: file, line, function, error, then a printf format and its values.
extern "C" void DropAlsaMessage(const char*, int, const char*, int, const char*, ...) {}
extern "C" void DropJackMessage(const char*) {}

using AlsaHandler = void (*)(const char*, int, const char*, int, const char*, ...);
using AlsaSetHandler = int (*)(AlsaHandler);
using JackSetFunction = void (*)(void (*)(const char*));

// A library already in the process (loaded with PortAudio), or nullptr; never loads one.
void* LoadedLibrary(const char* name) { return dlopen(name, RTLD_LAZY | RTLD_NOLOAD); }

}  // namespace

bool AudioLibraryMessagesWanted() {
    const char* wanted = std::getenv("TONEWELL_AUDIO_DEBUG");
    return wanted != nullptr && *wanted != '\0' && std::strcmp(wanted, "0") != 0;
}

void QuietAudioLibraryMessages() {
    if (AudioLibraryMessagesWanted()) return;
    if (void* alsa = LoadedLibrary("libasound.so.2")) {
        if (auto set = reinterpret_cast<AlsaSetHandler>(dlsym(alsa, "snd_lib_error_set_handler"))) set(DropAlsaMessage);
        dlclose(alsa);  // still loaded by PortAudio; this only drops our reference
    }
    if (void* jack = LoadedLibrary("libjack.so.0")) {
        for (const char* name : {"jack_set_error_function", "jack_set_info_function"})
            if (auto set = reinterpret_cast<JackSetFunction>(dlsym(jack, name))) set(DropJackMessage);
        dlclose(jack);
    }
}

StderrSilenced::StderrSilenced() {
    if (AudioLibraryMessagesWanted()) return;
    std::fflush(stderr);
    const int nothing = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (nothing < 0) return;
    saved_ = fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0);
    if (saved_ >= 0 && dup2(nothing, STDERR_FILENO) < 0) {
        close(saved_);
        saved_ = -1;
    }
    close(nothing);
}

StderrSilenced::~StderrSilenced() {
    if (saved_ < 0) return;
    std::fflush(stderr);
    dup2(saved_, STDERR_FILENO);
    close(saved_);
}

}  // namespace tonewell
