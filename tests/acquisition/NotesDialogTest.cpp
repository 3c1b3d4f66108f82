#include "acquisition/NotesDialog.h"

#include "platform/RecordingShell.h"

#include <gtest/gtest.h>

namespace tonewell {
namespace {

TEST(NotesDialogTest, OkKeepsPrintableTextAndMarksTheDocument) {
    RecordingShell shell;
    InstrumentConfiguration configuration;
    std::atomic<bool> inputRunning{false};
    CSignalDoc document(shell, configuration, inputRunning, FreshDocumentSelection{});
    document.notes = "old";
    int redraws = 0;
    NotesDialog dialog(document, [&] { ++redraws; });
    dialog.Open();
    EXPECT_EQ(dialog.Text(), "old");
    EXPECT_FALSE(dialog.Display());

    dialog.OnDisplayClicked(true);
    EXPECT_EQ(redraws, 1);
    EXPECT_FALSE(document.displayNotes);  // taken over only at OK

    dialog.SetText("line one\r\nline\ttwo \x7f\xe9!");
    dialog.OnOk();
    EXPECT_EQ(document.notes, "line onelinetwo !");
    EXPECT_TRUE(document.displayNotes);
    EXPECT_TRUE(document.IsModified());
    EXPECT_EQ(redraws, 2);
}

TEST(NotesDialogTest, TextIsLimitedTo1023Characters) {
    EXPECT_EQ(FilterNoteText(std::string(2000, 'x')).size(), 1023u);
    // Dropped characters do not count against the limit.
    std::string text(1000, '\n');
    text += std::string(1100, 'y');
    EXPECT_EQ(FilterNoteText(text), std::string(1023, 'y'));

    RecordingShell shell;
    InstrumentConfiguration configuration;
    std::atomic<bool> inputRunning{false};
    CSignalDoc document(shell, configuration, inputRunning, FreshDocumentSelection{});
    NotesDialog dialog(document, nullptr);
    dialog.SetText(std::string(1500, 'z'));
    EXPECT_EQ(dialog.Text().size(), 1023u);
    dialog.OnOk();
    EXPECT_EQ(document.notes.size(), 1023u);
}

}  // namespace
}  // namespace tonewell
