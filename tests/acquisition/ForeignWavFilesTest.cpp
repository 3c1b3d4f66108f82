// WAV files that other projects test their readers with (kept beside the checkout in
// shared/testdata/wav and read in place): plain 8- and 16-bit PCM with one or two channels
// opens; everything else is refused with a message and closes the document.

#include "acquisition/SignalDoc.h"

#include "platform/RecordingShell.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace tonewell {
namespace {

// TONEWELL_WAV_TESTDATA names the folder when the checkout has no shared/ beside it.
std::filesystem::path foreignFolder() {
    if (const char* folder = std::getenv("TONEWELL_WAV_TESTDATA")) return folder;
    return std::filesystem::path(TONEWELL_SOURCE_DIR) / ".." / "shared" / "testdata" / "wav";
}

// The plain PCM files of the collection.
const std::set<std::string> kOpening{
    "go-audio-wav/8bit.wav",
    "go-audio-wav/kick-16b441k.wav",
    "go-audio-wav/kick.wav",
    "go-audio-wav/listinfo.wav",
    "hound/pcmwaveformat-16bit-44100Hz-mono-extra.wav",
    "hound/pcmwaveformat-16bit-44100Hz-mono.wav",
    "hound/pcmwaveformat-8bit-44100Hz-mono.wav",
    "hound/waveformatex-16bit-44100Hz-mono-extra.wav",
    "hound/waveformatex-16bit-44100Hz-mono.wav",
    "hound/waveformatex-16bit-44100Hz-stereo.wav",
    "hound/waveformatex-8bit-11025Hz-mono.wav",  // its RIFF size runs past the end
    "scipy/test-8000Hz-le-2ch-1byteu.wav",
};

TEST(ForeignWavFilesTest, PlainPcmOpensAndTheRestIsRefused) {
    const std::filesystem::path folder = foreignFolder();
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error)) GTEST_SKIP() << "no " << folder;

    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        if (entry.is_regular_file() && entry.path().extension() == ".wav") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    ASSERT_FALSE(files.empty());

    int opened = 0;
    for (const auto& file : files) {
        const std::string name = std::filesystem::relative(file, folder).generic_string();
        SCOPED_TRACE(name);
        RecordingShell shell;
        InstrumentConfiguration configuration;
        std::atomic<bool> inputRunning{false};
        CSignalDoc document(shell, configuration, inputRunning, FreshDocumentSelection{});
        const bool accepted = document.OnOpenDocument(file, kScopeTypeSeparate);
        if (kOpening.count(name) != 0) {
            EXPECT_TRUE(accepted) << (shell.messages().empty() ? "" : shell.messages().back());
            EXPECT_GT(document.sampleCount, 0u);
            EXPECT_TRUE(shell.postedCommands().empty());
            ++opened;
        } else {
            EXPECT_FALSE(accepted);
            EXPECT_FALSE(shell.messages().empty());
            EXPECT_TRUE(shell.postedCommands().empty());
        }
        // Whatever the file, the record stays consistent with its arrays.
        EXPECT_GE(document.dataA.size(), document.sampleCount);
        EXPECT_GE(document.dataB.size(), document.sampleCount);
    }
    EXPECT_EQ(opened, static_cast<int>(kOpening.size()));
}

}  // namespace
}  // namespace tonewell
