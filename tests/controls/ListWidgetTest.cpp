#include <gtest/gtest.h>

#include "framework/widgets/ListWidget.h"
#include "framework/widgets/ScrollbarWidget.h"
#include "tests/controls/ControlsTestSupport.h"

using namespace ControlsTest;
using Zant::ListWidget;

namespace {

// Three linked columns side by side at y 100, rows 16 high.
struct TableFixture : AppFixture {
    TableFixture() : font(6, 12, 16), left(0, &font, &listener), middle(1, &font, &listener), right(2, &font, &listener)
    {
        left.mChild = &middle;
        middle.mParent = &left;
        middle.mChild = &right;
        right.mParent = &middle;
        int x = 0;
        for (ListWidget* list : Columns()) {
            list->Resize(x, 100, 100, 88);
            Manager().AddWidget(list);
            x += 100;
        }
    }
    ~TableFixture()
    {
        for (ListWidget* list : Columns())
            Manager().RemoveWidget(list);
    }
    std::vector<ListWidget*> Columns() { return {&left, &middle, &right}; }
    std::vector<std::string> Column(ListWidget& list) { return list.mLines; }

    BlockFont font;
    Recorder listener;
    ListWidget left, middle, right;
};

} // namespace

TEST(ListWidget, LinkedColumnsShareRowsSelectionAndHighlight)
{
    TableFixture f;
    f.left.AddLine("a", false);
    EXPECT_EQ(f.middle.AddLine("x", false), 1);
    f.right.AddLine("z", false);
    EXPECT_EQ(f.Column(f.left), (std::vector<std::string>{"a", "-", "-"}));
    EXPECT_EQ(f.Column(f.middle), (std::vector<std::string>{"-", "x", "-"}));
    EXPECT_EQ(f.Column(f.right), (std::vector<std::string>{"-", "-", "z"}));

    f.middle.SetSelect(1);
    f.Manager().MouseMove(250, 120); // row 1 of the right column
    for (ListWidget* list : f.Columns()) {
        EXPECT_EQ(list->mSelectIdx, 1);
        EXPECT_EQ(list->mHiliteIdx, 1);
    }
    EXPECT_EQ(f.app->mCursorNum, Zant::CURSOR_HAND);

    f.left.RemoveLine(0);
    for (ListWidget* list : f.Columns()) {
        EXPECT_EQ(list->GetLineCount(), 2);
        EXPECT_EQ(list->mSelectIdx, 0) << "the selected row moved up with its row";
    }
    EXPECT_EQ(f.Column(f.middle), (std::vector<std::string>{"x", "-"}));

    f.right.RemoveAll();
    for (ListWidget* list : f.Columns()) {
        EXPECT_EQ(list->GetLineCount(), 0);
        EXPECT_EQ(list->mSelectIdx, -1);
        EXPECT_EQ(list->mHiliteIdx, -1);
    }
}

TEST(ListWidget, RemovingTheSelectedRowClearsTheSelection)
{
    // The delete-user dialog removes the chosen name; the selection must not slide
    // onto the next name or past the end.
    TableFixture f;
    for (const char* name : {"Ann", "Bob", "Cy"})
        f.left.AddLine(name, false);
    f.left.SetSelect(2);
    f.left.RemoveLine(2);
    EXPECT_EQ(f.left.mSelectIdx, -1);
    f.left.SetSelect(0);
    f.left.RemoveLine(1);
    EXPECT_EQ(f.left.mSelectIdx, 0);
}

TEST(ListWidget, BadIndicesAreIgnored)
{
    TableFixture f;
    f.left.AddLine("a", false);
    f.left.SetSelect(5);
    EXPECT_EQ(f.left.mSelectIdx, -1);
    f.left.SetSelect(-7);
    EXPECT_EQ(f.left.mSelectIdx, -1);
    f.left.SetLine(3, "b");
    f.left.RemoveLine(-1);
    f.left.RemoveLine(1);
    EXPECT_EQ(f.left.GetStringAt(9), "");
    EXPECT_EQ(f.left.GetStringAt(-1), "");
    EXPECT_EQ(f.Column(f.left), (std::vector<std::string>{"a"}));
}

TEST(ListWidget, SortedInsertionGoesAfterRowsEqualWithoutCase)
{
    BlockFont font;
    ListWidget list(0, &font, nullptr);
    for (const char* text : {"a", "B", "c"})
        list.AddLine(text, false);
    EXPECT_EQ(list.AddLine("b", true), 2);
    EXPECT_EQ(list.AddLine("\xE9t\xE9", true), 4) << "bytes above 127 sort after ASCII letters";
    EXPECT_EQ(list.AddLine("0", true), 0);
    EXPECT_EQ(list.mLines, (std::vector<std::string>{"0", "a", "B", "b", "c", "\xE9t\xE9"}));
}

TEST(ListWidget, SortIsStableAndNumericWithPadding)
{
    struct Case {
        const char* name;
        std::vector<std::string> keys;
        bool ascending;
        int places;
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases = {
        {"padded numbers", {"10", "9", "100"}, true, 3, {"9", "10", "100"}},
        {"unpadded numbers sort as text", {"10", "9", "100"}, true, 0, {"10", "100", "9"}},
        {"descending", {"10", "9", "100"}, false, 3, {"100", "10", "9"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BlockFont font;
        ListWidget list(0, &font, nullptr);
        list.mMaxNumericPlaces = c.places;
        for (const std::string& key : c.keys)
            list.AddLine(key, false);
        list.Sort(c.ascending);
        EXPECT_EQ(list.mLines, c.expected);
    }
}

TEST(ListWidget, SortMovesEveryColumnAndKeepsEqualKeysInOrder)
{
    TableFixture f;
    const std::vector<std::pair<std::string, std::string>> rows = {
        {"Zed", "5"}, {"Amy", "7"}, {"Bob", "5"}, {"Cat", "7"}};
    for (const auto& [name, score] : rows) {
        const int row = f.left.AddLine(name, false);
        f.middle.SetLine(row, score);
    }
    f.left.SetColor("Amy", Zant::Color(9, 9, 9));
    f.middle.mSortFromChild = false;
    f.left.SetSelect(1); // Amy
    f.middle.Sort(false);
    EXPECT_EQ(f.Column(f.middle), (std::vector<std::string>{"7", "7", "5", "5"}));
    EXPECT_EQ(f.Column(f.left), (std::vector<std::string>{"Amy", "Cat", "Zed", "Bob"}));
    EXPECT_EQ(f.left.mLineColors[0], Zant::Color(9, 9, 9));
    EXPECT_EQ(f.left.mSelectIdx, 0) << "the selection follows its row";
}

TEST(ListWidget, RowsAreDrawnFromTheFractionalPositionAndHitTestedThere)
{
    TableFixture f;
    for (const char* text : {"r0", "r1", "r2", "r3", "r4", "r5", "r6", "r7"})
        f.left.AddLine(text, false);
    EXPECT_EQ(f.left.mPageSize, 5); // (88 - 8) / 16
    f.left.ScrollPosition(0, 0.5);
    EXPECT_EQ(f.right.mPosition, 0.5);
    f.font.ClearDrawn();
    f.Manager().DrawScreen();

    std::vector<DrawnText> leftRows;
    for (const DrawnText& d : f.font.Drawn())
        if (d.x < 100)
            leftRows.push_back(d);
    ASSERT_EQ(leftRows.size(), 7u); // rows 0 to 0 + 5 + 1
    EXPECT_EQ(leftRows[0].text, "r0");
    EXPECT_EQ(leftRows[0].y, 100 - 4 + 12) << "first row at y -4, baseline + ascent";
    EXPECT_EQ(leftRows[1].y, 100 + 12 + 12);

    f.Manager().MouseMove(50, 104);
    EXPECT_EQ(f.left.mHiliteIdx, 0);
    f.Manager().MouseMove(50, 114);
    EXPECT_EQ(f.left.mHiliteIdx, 1) << "row 1 is drawn from y 12";
}

TEST(ListWidget, ClickReportsTheHighlightedRowOnly)
{
    TableFixture f;
    f.left.AddLine("only", false);
    f.Click(50, 110, 2);
    f.Click(50, 170); // below the rows
    f.Manager().MouseLeftWindow();
    EXPECT_EQ(f.listener.log, (std::vector<std::string>{"list 0 0 2"}));
    EXPECT_EQ(f.left.mHiliteIdx, -1);
    EXPECT_EQ(f.app->mCursorNum, Zant::CURSOR_POINTER);
}

TEST(ListWidget, ZeroRowHeightDoesNotDivideByZero)
{
    AppFixture f;
    BlockFont font(6, 0, 0);
    ListWidget list(0, &font, nullptr);
    list.Resize(0, 0, 100, 50);
    list.AddLine("a", false);
    f.Manager().AddWidget(&list);
    f.Manager().MouseMove(10, 20);
    f.Manager().DrawScreen();
    EXPECT_EQ(list.GetItemHeight(), 1);
    list.mItemHeight = 0;
    list.Resize(0, 0, 100, 60);
    f.Manager().MouseMove(10, 21);
    f.Manager().RemoveWidget(&list);
}

TEST(ListWidget, ScrollbarFollowsTheRowCountAndDrivesThePosition)
{
    TableFixture f;
    Zant::ScrollbarWidget bar(5, &f.left);
    f.left.mScrollbar = &bar;
    f.Manager().AddWidget(&bar);
    bar.ResizeScrollbar(300, 100, 16, 88);
    f.left.Resize(0, 100, 100, 88); // hands its page size to the bar
    for (int i = 0; i < 8; ++i)
        f.left.AddLine("row", false);
    EXPECT_EQ(bar.mMaxValue, 8);
    EXPECT_EQ(bar.mPageSize, 5);
    bar.SetValue(2);
    EXPECT_EQ(f.left.mPosition, 2);
    EXPECT_EQ(f.right.mPosition, 2);
    f.left.RemoveLine(0);
    f.left.RemoveLine(0);
    f.left.RemoveLine(0);
    EXPECT_EQ(bar.mMaxValue, 5);
    EXPECT_TRUE(bar.mDisabled);
    EXPECT_EQ(f.left.mPosition, 0);
    f.Manager().RemoveWidget(&bar);
}

TEST(ListWidget, OptimalSize)
{
    BlockFont font(6, 12, 16);
    ListWidget list(0, &font, nullptr);
    list.AddLine("abc", false);
    list.AddLine("abcdef", false);
    EXPECT_EQ(list.GetOptimalWidth(), 36 + 16);
    EXPECT_EQ(list.GetOptimalHeight(), 2 * 16 + 8);
}
