#pragma once
// The sound libraries under PortAudio (ALSA and its plugins, JACK) print their probing on
// stderr: every device PortAudio looks at on a machine without JACK or without some ALSA plugin
// leaves a line in the user's terminal. These keep them quiet. TONEWELL_AUDIO_DEBUG=1 leaves
// them as they are, for looking into a sound problem. UI thread.

namespace tonewell {

// Gives ALSA's and JACK's message functions a handler that drops the messages, when those
// libraries are loaded (they are looked up, never linked). Lasts for the program's lifetime.
void QuietAudioLibraryMessages();

// Sends stderr to /dev/null from construction to destruction, for the span of a library call
// that prints its probing before any handler can be set; the program's own stderr returns after.
class StderrSilenced {
public:
    StderrSilenced();
    ~StderrSilenced();
    StderrSilenced(const StderrSilenced&) = delete;
    StderrSilenced& operator=(const StderrSilenced&) = delete;

private:
    int saved_ = -1;
};

// Whether TONEWELL_AUDIO_DEBUG asks to see the libraries' messages.
bool AudioLibraryMessagesWanted();

}  // namespace tonewell
