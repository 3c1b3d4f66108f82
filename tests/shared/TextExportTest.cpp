#include "shared/TextExport.h"

#include "platform/RecordingShell.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace tonewell {
namespace {

struct ExtensionCase {
    const char* chosen;
    const char* written;
};

class TextExtension : public ::testing::TestWithParam<ExtensionCase> {};

TEST_P(TextExtension, IsAddedOnlyWhenThePathHasNoDotAnywhere) {
    EXPECT_EQ(WithTextExtension(GetParam().chosen), GetParam().written);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, TextExtension,
    ::testing::Values(ExtensionCase{"/home/user/data", "/home/user/data.txt"},
                      ExtensionCase{"/home/user/data.csv", "/home/user/data.csv"},
                      ExtensionCase{"/home/user/my.dir/data", "/home/user/my.dir/data"},
                      ExtensionCase{"/home/user/data.", "/home/user/data."},
                      ExtensionCase{"data", "data.txt"}));

TEST(TextExport, AsksForATextFileAndGivesThePathAfterTheRule) {
    RecordingShell shell;
    shell.saveFileAnswers.push_back(std::string("/tmp/x/spectrum"));
    shell.saveFileAnswers.push_back(std::nullopt);
    EXPECT_EQ(ChooseTextExportPath(shell, true), std::optional<std::string>("/tmp/x/spectrum.txt"));
    ASSERT_EQ(shell.fileRequests.size(), 1u);
    EXPECT_EQ(shell.fileRequests[0].filter, "Text File (*.txt)|*.txt|");
    EXPECT_TRUE(shell.fileRequests[0].promptOverwrite);
    EXPECT_EQ(ChooseTextExportPath(shell, false), std::nullopt);
}

TEST(TextExport, WritesCrLfLinesAcrossBufferFlushesAndKeepsTheOldFileWhenItCannotWrite) {
    testing::TempDir dir;
    RecordingShell shell;
    const auto path = dir / "lines.txt";
    std::string expected;
    ASSERT_TRUE(WriteTextExport(shell, path, [&](TextExportFile& file) {
        for (int i = 0; i < 200000; ++i) {
            file.line() += "line ";
            file.line() += std::to_string(i);
            expected += "line " + std::to_string(i) + "\r\n";
            file.endLine();
        }
    }));
    EXPECT_EQ(testing::readFileBytes(path), expected);
    EXPECT_TRUE(shell.messages().empty());

    EXPECT_FALSE(WriteTextExport(shell, dir / "missing" / "x.txt", [](TextExportFile&) {}));
    ASSERT_EQ(shell.messages().size(), 1u);
    EXPECT_EQ(shell.messages()[0], "fail to create the file");
}

}  // namespace
}  // namespace tonewell
