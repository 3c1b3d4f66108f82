#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/ButtonControl.h"
#include "controls/CheckControl.h"
#include "controls/EditControl.h"
#include "controls/ListControl.h"
#include "controls/RadioControl.h"
#include "shared/RangeTables.h"
#include "controls/ScrollBarControl.h"
#include "controls/SliderControl.h"
#include "controls/SpinControl.h"

namespace tonewell {
namespace {

TEST(ListControl, RunsItsHandlerOnlyForTheUsersPick) {
    ListControl list(65010);
    list.setItems({"None", "Repeat", "Single"});
    std::vector<int> picked;
    int observed = 0;
    list.setSelectionHandler([&](int row) { picked.push_back(row); });
    list.setObserver([&] { ++observed; });

    list.setSelection(1);
    EXPECT_EQ(list.selection(), 1);
    EXPECT_TRUE(picked.empty());
    EXPECT_EQ(observed, 1);

    list.userSelect(1);  // the row already selected still counts as a pick
    list.userSelect(2);
    EXPECT_EQ(picked, (std::vector<int>{1, 2}));
    EXPECT_EQ(list.text(), "Single");

    list.userSelect(3);
    list.userSelect(-1);
    EXPECT_EQ(list.selection(), 2);
    EXPECT_EQ(picked.size(), 2u);

    list.setEnabled(false);
    list.userSelect(0);
    EXPECT_EQ(list.selection(), 2);
    EXPECT_EQ(picked.size(), 2u);
}

TEST(ListControl, ARowOutsideTheListSelectsNothing) {
    ListControl list;
    list.setItems({"A", "A&B"});
    list.setSelection(1);
    list.setSelection(2);
    EXPECT_FALSE(list.hasSelection());
    EXPECT_EQ(list.text(), "");
}

TEST(ListControl, EditableListSeparatesPickedRowsFromTypedText) {
    ListControl point(65020, true);
    point.setItems({"50", "100", "200"});
    std::vector<int> picked;
    std::vector<std::string> typed;
    point.setSelectionHandler([&](int row) { picked.push_back(row); });
    point.setTextHandler([&](const std::string& text) { typed.push_back(text); });

    point.userSelect(1);
    EXPECT_EQ(point.text(), "100");
    EXPECT_EQ(picked, (std::vector<int>{1}));
    EXPECT_TRUE(typed.empty());

    point.userEditText("1000");
    EXPECT_EQ(typed, (std::vector<std::string>{"1000"}));
    EXPECT_FALSE(point.hasSelection());

    point.setText("441");  // the program's text runs no handler
    EXPECT_EQ(point.text(), "441");
    EXPECT_EQ(typed.size(), 1u);

    point.setSelection(2);
    point.setText("200");  // still the selected row's string
    EXPECT_EQ(point.selection(), 2);

    point.clear();
    EXPECT_EQ(point.text(), "");
}

TEST(EditControl, ReportsEveryChangeTypedOrSet) {
    EditControl box(65013);
    std::vector<std::string> heard;
    box.setTextHandler([&](const std::string& text) { heard.push_back(text); });
    box.setText("0%");
    box.userType("12");
    box.setText("12");  // no change
    EXPECT_EQ(heard, (std::vector<std::string>{"0%", "12"}));
}

TEST(EditControl, AHandlerHearsItsOwnRewrite) {
    EditControl box;
    std::vector<std::string> heard;
    box.setTextHandler([&](const std::string& text) {
        heard.push_back(text);
        if (text.empty() || text.back() != '%') box.setText(std::to_string(std::min(std::stoi(text), 100)) + "%");
    });
    box.setText("150");
    EXPECT_EQ(box.text(), "100%");
    EXPECT_EQ(heard, (std::vector<std::string>{"150", "100%"}));
}

TEST(EditControl, ReadOnlyRefusesTypingButNotTheProgram) {
    EditControl box;
    box.setText("5%");
    // The level and delay boxes turn read-only while they hold the focus.
    box.setFocusHandler([&](bool gained) { box.setReadOnly(gained); });
    box.userFocus(true);
    box.userType("77");
    EXPECT_EQ(box.text(), "5%");
    box.setText("6");
    EXPECT_EQ(box.text(), "6");
    box.userFocus(false);
    EXPECT_FALSE(box.readOnly());
    box.userType("77");
    EXPECT_EQ(box.text(), "77");
}

TEST(EditControl, TypedTextIsCutToTheLimitOnACharacterBoundary) {
    EditControl notes;
    notes.setLimit(4);
    notes.userType("abcdef");
    EXPECT_EQ(notes.text(), "abcd");
    notes.userType("abc\xCE\xBC");  // "μ" would straddle the limit
    EXPECT_EQ(notes.text(), "abc");
    notes.setText("longer than four");
    EXPECT_EQ(notes.text(), "longer than four");
}

TEST(SpinControl, WritesItsPositionIntoTheBoxAndStopsAtTheEnds) {
    EditControl box;
    SpinControl spin(65016);
    spin.setBuddy(&box);
    spin.setRange(-100, 100);
    std::vector<std::string> boxHeard;
    std::vector<int> stepped;
    box.setTextHandler([&](const std::string& text) {
        boxHeard.push_back(text);
        if (text.back() != '%') box.setText(text + "%");
    });
    spin.setPositionHandler([&](int position) { stepped.push_back(position); });

    spin.setPosition(0);  // the box shows "0" once, then its handler's "0%"
    EXPECT_EQ(box.text(), "0%");
    spin.setPosition(0);  // written again: the box holds "0%", not "0"
    EXPECT_EQ(boxHeard, (std::vector<std::string>{"0", "0%", "0", "0%"}));
    EXPECT_TRUE(stepped.empty());

    spin.setPosition(99);
    spin.userStep(+1);
    spin.userStep(+1);
    EXPECT_EQ(spin.position(), 100);
    EXPECT_EQ(box.text(), "100%");
    EXPECT_EQ(stepped, (std::vector<int>{100}));

    spin.setPosition(-250);
    EXPECT_EQ(spin.position(), -100);
    EXPECT_EQ(box.text(), "-100%");
}

TEST(CheckControl, ClickTogglesAndTellsTheHandler) {
    CheckControl sweep(0, "Sweep");
    std::vector<bool> heard;
    sweep.setCheckHandler([&](bool checked) { heard.push_back(checked); });
    sweep.setChecked(true);
    sweep.userClick();
    sweep.userClick();
    sweep.setEnabled(false);
    sweep.userClick();
    EXPECT_EQ(heard, (std::vector<bool>{false, true}));
    EXPECT_TRUE(sweep.checked());
}

TEST(RadioControl, UserChoiceRunsTheHandlerEvenWhenUnchanged) {
    RadioControl law(0, {"Linear", "Log"});
    std::vector<int> heard;
    law.setChoiceHandler([&](int option) { heard.push_back(option); });
    law.setChoice(0);
    law.userChoose(0);
    law.userChoose(1);
    law.userChoose(2);
    EXPECT_EQ(heard, (std::vector<int>{0, 1}));
    EXPECT_EQ(law.choice(), 1);
    law.setChoice(7);
    EXPECT_EQ(law.choice(), RadioControl::kNoChoice);
}

TEST(ButtonControl, ClicksReachTheHandlerOnlyWhenOperable) {
    ButtonControl run(0, "Run");
    int clicks = 0;
    run.setClickHandler([&] {
        ++clicks;
        run.setCaption(run.caption() == "Run" ? "Stop" : "Run");
    });
    run.click();
    EXPECT_EQ(run.caption(), "Stop");
    run.setVisible(false);
    run.click();
    run.setVisible(true);
    run.setEnabled(false);
    run.click();
    EXPECT_EQ(clicks, 1);
}

TEST(SliderControl, DraggingAndLettingGoAreToldApart) {
    SliderControl slider(0, Orientation::Vertical);
    std::vector<std::pair<int, SliderControl::Action>> heard;
    slider.setPositionHandler([&](int position, SliderControl::Action action) { heard.emplace_back(position, action); });
    slider.setPosition(30);
    slider.userMove(40);
    slider.userRelease(140);
    ASSERT_EQ(heard.size(), 2u);
    EXPECT_EQ(heard[0], std::make_pair(40, SliderControl::Action::Moved));
    EXPECT_EQ(heard[1], std::make_pair(100, SliderControl::Action::Released));
}

TEST(ScrollBarControl, LeavesThePositionToItsHandler) {
    ScrollBarControl bar(65043);
    bar.setRange(0, 100);
    bar.setPosition(50);
    std::vector<std::pair<ScrollBarControl::Action, int>> heard;
    bar.setScrollHandler([&](ScrollBarControl::Action action, int track) {
        heard.emplace_back(action, track);
        if (action == ScrollBarControl::Action::LineDown) bar.setPosition(bar.position() + 10);
    });
    bar.userScroll(ScrollBarControl::Action::ThumbTrack, 70);
    EXPECT_EQ(bar.position(), 50);
    bar.userScroll(ScrollBarControl::Action::LineDown);
    EXPECT_EQ(bar.position(), 60);
    ASSERT_EQ(heard.size(), 2u);
    EXPECT_EQ(heard[0], std::make_pair(ScrollBarControl::Action::ThumbTrack, 70));
    EXPECT_EQ(heard[1], std::make_pair(ScrollBarControl::Action::LineDown, 50));

    bar.setRange(0, 10);
    EXPECT_EQ(bar.position(), 10);
    bar.setVisible(false);
    bar.userScroll(ScrollBarControl::Action::Top);
    EXPECT_EQ(heard.size(), 2u);
}

}  // namespace
}  // namespace tonewell
