#include "platform/SafeFileWriter.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <unistd.h>

namespace tonewell {
namespace {

using testing::readFileBytes;
using testing::TempDir;
using testing::writeFileBytes;

std::size_t filesIn(const std::filesystem::path& folder) {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder),
                                                  std::filesystem::directory_iterator()));
}

TEST(SafeFileWriter, ReplacesTargetOnlyOnCommitAndLeavesNoTemporaryBehind) {
    TempDir dir;
    auto target = dir / "record.wav";
    writeFileBytes(target, "old contents");

    SafeFileWriter writer(target);
    ASSERT_TRUE(writer.open());
    writer.write("new ");
    writer.write("contents");
    EXPECT_EQ(readFileBytes(target), "old contents") << "target must stay until commit";
    ASSERT_TRUE(writer.commit());
    EXPECT_EQ(readFileBytes(target), "new contents");
    EXPECT_EQ(filesIn(dir.path()), 1u);
}

TEST(SafeFileWriter, AbandonedOrDestroyedWriterKeepsThePreviousFile) {
    TempDir dir;
    auto target = dir / "panel.psf";
    writeFileBytes(target, "good");
    {
        SafeFileWriter writer(target);
        ASSERT_TRUE(writer.open());
        writer.write("half written");
    }
    EXPECT_EQ(readFileBytes(target), "good");
    EXPECT_EQ(filesIn(dir.path()), 1u);
}

TEST(SafeFileWriter, FailsCleanlyWhereNoFileCanBeCreated) {
    TempDir dir;
    EXPECT_FALSE(writeFileSafely(dir / "missing-folder" / "x.txt", "data"));
    EXPECT_FALSE(writeFileSafely(dir.path() / "", "data"));

    if (geteuid() != 0) {  // root writes into read-only folders anyway
        auto target = dir / "kept.txt";
        writeFileBytes(target, "kept");
        std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_read |
                                                     std::filesystem::perms::owner_exec);
        EXPECT_FALSE(writeFileSafely(target, "replacement"));
        std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_all);
        EXPECT_EQ(readFileBytes(target), "kept");
    }
}

TEST(SafeFileWriter, CommitAfterAbandonReportsFailureAndKeepsTarget) {
    TempDir dir;
    auto target = dir / "t.txt";
    writeFileBytes(target, "before");
    SafeFileWriter writer(target);
    ASSERT_TRUE(writer.open());
    writer.abandon();
    EXPECT_FALSE(writer.write("x"));
    EXPECT_FALSE(writer.commit());
    EXPECT_EQ(readFileBytes(target), "before");
}

}  // namespace
}  // namespace tonewell
