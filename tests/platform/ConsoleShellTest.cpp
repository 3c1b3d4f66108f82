#include "platform/ConsoleShell.h"

#include <gtest/gtest.h>

#include <sstream>

namespace tonewell {
namespace {

TEST(ConsoleShell, PrintsEachMessageAsShownAndAnswersAsNobodyThere) {
    std::ostringstream out;
    ConsoleShell shell(out, "message=");
    shell.showMessage("first");
    EXPECT_EQ(out.str(), "message=first\n");
    shell.showMessage("second");
    EXPECT_EQ(out.str(), "message=first\nmessage=second\n");
    EXPECT_EQ(shell.messages(), (std::vector<std::string>{"first", "second"}));

    EXPECT_EQ(shell.promptSave("Untitled"), SavePromptAnswer::No);
    EXPECT_FALSE(shell.chooseOpenFile({}));
    EXPECT_FALSE(shell.chooseSaveFileAndFilter({}));
    EXPECT_FALSE(shell.startProcess("viewer", "help"));
}

TEST(ConsoleShell, PostedWorkRunsInOrderWhenAsked) {
    std::ostringstream out;
    ConsoleShell shell(out);
    std::string order;
    shell.post([&] {
        order += "a";
        shell.post([&] { order += "c"; });
    });
    shell.post([&] { order += "b"; });
    EXPECT_EQ(order, "");
    EXPECT_EQ(shell.runPosted(), 3);
    EXPECT_EQ(order, "abc");
}

}  // namespace
}  // namespace tonewell
