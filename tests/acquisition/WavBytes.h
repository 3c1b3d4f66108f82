#pragma once
// Builds WAV files byte by byte for the reader tests, including malformed ones.

#include "acquisition/DocumentFrameHooks.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tonewell::testing {

inline void putU16(std::string& out, std::uint32_t v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>((v >> 8) & 0xFF));
}
inline void putU32(std::string& out, std::uint32_t v) {
    putU16(out, v & 0xFFFF);
    putU16(out, v >> 16);
}

// A chunk: identifier, size (the body's length unless given), body, pad byte when odd.
inline std::string chunk(std::string_view id, const std::string& body, std::int64_t declared = -1,
                         bool pad = true) {
    std::string out(id);
    putU32(out, declared < 0 ? static_cast<std::uint32_t>(body.size()) : static_cast<std::uint32_t>(declared));
    out += body;
    if (pad && (body.size() & 1)) out.push_back('\0');
    return out;
}

inline std::string fmtBody(std::uint16_t channels, std::uint32_t rate, std::uint16_t bits,
                           std::uint16_t tag = 1, int blockAlign = -1) {
    std::string out;
    const std::uint16_t align =
        blockAlign < 0 ? static_cast<std::uint16_t>(channels * (bits <= 8 ? 1 : 2)) : static_cast<std::uint16_t>(blockAlign);
    putU16(out, tag);
    putU16(out, channels);
    putU32(out, rate);
    putU32(out, rate * align);
    putU16(out, align);
    putU16(out, bits);
    return out;
}

// "RIFF", size (of what follows unless given), "WAVE", chunks.
inline std::string riff(const std::string& chunks, std::int64_t declared = -1) {
    std::string out = "RIFF";
    putU32(out, declared < 0 ? static_cast<std::uint32_t>(chunks.size() + 4) : static_cast<std::uint32_t>(declared));
    out += "WAVE";
    out += chunks;
    return out;
}

// Little-endian signed 16-bit samples.
inline std::string samples16(const std::vector<int>& values) {
    std::string out;
    for (int v : values) putU16(out, static_cast<std::uint16_t>(static_cast<std::int16_t>(v)));
    return out;
}

// Frame hooks that record what the document asked and know the usual lists.
class RecordingFrameHooks : public DocumentFrameHooks {
public:
    void ApplyNewDocumentPanel(CSignalDoc&) override { ++panelApplications; }
    void ShowRecordLength(std::string_view text) override { recordLengthText = text; }
    void SelectChannels(bool both, bool sourceEnabled) override {
        channelsSelected = true;
        bothChannels = both;
        triggerSourceEnabled = sourceEnabled;
    }
    bool SelectResolution(int bits) override {
        if (bits != 8 && bits != 16) return false;
        samplingBits = bits;
        return true;
    }
    bool SelectSamplingFrequency(std::uint32_t rate) override {
        for (std::uint32_t known : {2000u, 4000u, 8000u, 11025u, 22050u, 44100u, 48000u, 96000u})
            if (rate == known) {
                samplingRate = static_cast<int>(rate);
                return true;
            }
        return false;
    }

    int panelApplications = 0;
    std::string recordLengthText;
    bool channelsSelected = false;
    bool bothChannels = false;
    bool triggerSourceEnabled = false;
    int samplingBits = 0;
    int samplingRate = 0;
};

}  // namespace tonewell::testing
