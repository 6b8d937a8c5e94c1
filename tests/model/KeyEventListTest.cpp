#include <gtest/gtest.h>

#include <cctype>
#include <climits>
#include <ostream>
#include <string>

#include "KeyEventList.h"

namespace {

// A list of `count` items "0", "1", ... with the given view; each nested list holds one item
// naming its parent, so tests can see which nested list went where.
KeyEventList makeList(int sizeOfView, int count, int viewStartAt = 0, int cursorPos = 0) {
    KeyEventList list(sizeOfView);
    for (int i = 0; i < count; ++i) {
        KeyEventList child(sizeOfView);
        child.append("child " + std::to_string(i), KeyEventList(sizeOfView));
        list.append(std::to_string(i), child);
    }
    list.setView(viewStartAt, cursorPos);
    return list;
}

// Test names from the cases' descriptions.
template <typename Case>
std::string caseName(const ::testing::TestParamInfo<Case>& param) {
    std::string name = param.param.what;
    for (char& ch : name)
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
    return name;
}

struct View {
    int count;
    int viewStartAt;
    int cursorPos;
};

void expectView(const KeyEventList& list, View expected) {
    EXPECT_EQ(list.count(), expected.count);
    EXPECT_EQ(list.viewStartAt(), expected.viewStartAt);
    EXPECT_EQ(list.cursorPos(), expected.cursorPos);
    // Nested lists stay in step with the items, and the view stays inside the list.
    for (int i = 0; i < list.count(); ++i) EXPECT_LE(list.child(i).count(), 1);
    if (list.count() > 0) {
        EXPECT_GE(list.viewStartAt(), 0);
        EXPECT_LT(list.selectedIndex(), list.count());
        EXPECT_GE(list.selectedIndex(), 0);
    }
}

struct AppendCase {
    const char* what;
    int sizeOfView, count, viewStartAt, cursorPos, row;
    View after;
};
void PrintTo(const AppendCase& c, std::ostream* os) { *os << c.what; }

class AppendTest : public ::testing::TestWithParam<AppendCase> {};

TEST_P(AppendTest, AppendsAndSelectsTheNewItem) {
    const AppendCase& c = GetParam();
    KeyEventList list = makeList(c.sizeOfView, c.count, c.viewStartAt, c.cursorPos);
    list.setOrAppend(c.row, "new");
    expectView(list, c.after);
    EXPECT_EQ(list.items().back(), "new");
    EXPECT_EQ(list.selectedIndex(), list.count() - 1);
    EXPECT_EQ(list.child(list.count() - 1).count(), 0);
    EXPECT_EQ(list.child(list.count() - 1).sizeOfView(), c.sizeOfView);
}

INSTANTIATE_TEST_SUITE_P(
    KeyEventList, AppendTest,
    ::testing::Values(
        AppendCase{"full view scrolls by one", 6, 6, 0, 0, KeyEventList::kAppendRow, {7, 1, 5}},
        AppendCase{"room left in the view", 6, 2, 0, 0, KeyEventList::kAppendRow, {3, 0, 2}},
        AppendCase{"scrolled view scrolls on", 6, 10, 4, 2, KeyEventList::kAppendRow, {11, 5, 5}},
        AppendCase{"empty list", 9, 0, 0, 0, KeyEventList::kAppendRow, {1, 0, 0}},
        AppendCase{"row just past the end", 6, 3, 0, 0, 3, {4, 0, 3}},
        AppendCase{"negative index appends", 6, 3, 0, 0, -1, {4, 0, 3}},
        AppendCase{"huge row does not overflow", 6, 3, 2, 0, INT_MAX, {4, 2, 1}},
        AppendCase{"view size 0 still selects inside", 0, 3, 0, 0, KeyEventList::kAppendRow, {4, 3, 0}},
        AppendCase{"stored view past the end", 6, 3, 10, 4, KeyEventList::kAppendRow, {4, 3, 0}},
        AppendCase{"stored negative view", 6, 3, -5, -2, KeyEventList::kAppendRow, {4, 0, 3}}),
    caseName<AppendCase>);

TEST(KeyEventListRows, SetOrAppendReplacesAnExistingItemWithoutMovingTheView) {
    KeyEventList list = makeList(6, 5, 1, 2);
    list.setOrAppend(2, "changed");
    expectView(list, {5, 1, 2});
    EXPECT_EQ(list.items()[3], "changed");
    EXPECT_EQ(list.child(3).items().front(), "child 3");  // its nested list stays
}

TEST(KeyEventListRows, ReadsOutsideTheListGiveEmptyResults) {
    KeyEventList list = makeList(6, 3, 1, 0);
    EXPECT_EQ(list.itemAtRow(0), "1");
    EXPECT_EQ(list.itemAtRow(1), "2");
    EXPECT_EQ(list.childAtRow(1).items().front(), "child 2");
    for (int row : {2, -2, INT_MAX, INT_MIN, 20000}) {
        EXPECT_EQ(list.itemAtRow(row), "") << row;
        KeyEventList none = list.childAtRow(row);
        EXPECT_EQ(none.count(), 0) << row;
        EXPECT_EQ(none.sizeOfView(), 6) << row;
    }
}

TEST(KeyEventListRows, SetChildAtRowOnlyReplacesAnExistingNestedList) {
    KeyEventList list = makeList(6, 2);
    KeyEventList events(6);
    events.append("A Down", KeyEventList(6));
    events.setCycles(3);
    list.setChildAtRow(1, events);
    EXPECT_TRUE(list.child(1).sameContent(events));
    for (int row : {2, -1, INT_MAX}) list.setChildAtRow(row, events);
    expectView(list, {2, 0, 0});
    EXPECT_EQ(list.child(0).items().front(), "child 0");

    // The source may be part of the list itself.
    list.setChildAtRow(0, list.child(1));
    EXPECT_TRUE(list.child(0).sameContent(events));
    list.setChildAtRow(1, list.child(1).child(0));
    EXPECT_EQ(list.child(1).count(), 0);
}

TEST(KeyEventListRows, InsertGoesBeforeTheRowAndKeepsTheView) {
    KeyEventList list = makeList(6, 4, 1, 1);
    list.insertAtRow(0, "new");
    expectView(list, {5, 1, 1});
    EXPECT_EQ(list.items()[1], "new");
    EXPECT_EQ(list.items()[2], "1");
    EXPECT_EQ(list.child(1).count(), 0);
    EXPECT_EQ(list.child(2).items().front(), "child 1");

    list.insertAtRow(100, "last");  // past the end: appended and selected
    EXPECT_EQ(list.items().back(), "last");
    EXPECT_EQ(list.selectedIndex(), 5);
}

struct RemoveCase {
    const char* what;
    int sizeOfView, count, viewStartAt, cursorPos, row;
    View after;
    const char* firstRemaining;  // nullptr for an empty list
    const char* lastRemaining;
};
void PrintTo(const RemoveCase& c, std::ostream* os) { *os << c.what; }

class RemoveTest : public ::testing::TestWithParam<RemoveCase> {};

TEST_P(RemoveTest, RemovesAndPullsTheViewBack) {
    const RemoveCase& c = GetParam();
    KeyEventList list = makeList(c.sizeOfView, c.count, c.viewStartAt, c.cursorPos);
    list.removeAtRow(c.row);
    expectView(list, c.after);
    if (c.firstRemaining) {
        EXPECT_EQ(list.items().front(), c.firstRemaining);
        EXPECT_EQ(list.items().back(), c.lastRemaining);
        EXPECT_EQ(list.child(list.count() - 1).items().front(), std::string("child ") + c.lastRemaining);
    }
}

INSTANTIATE_TEST_SUITE_P(
    KeyEventList, RemoveTest,
    ::testing::Values(
        RemoveCase{"only item", 6, 1, 0, 0, 0, {0, 0, 0}, nullptr, nullptr},
        RemoveCase{"empty list", 6, 0, 0, 0, 0, {0, 0, 0}, nullptr, nullptr},
        RemoveCase{"middle item", 6, 4, 0, 1, 1, {3, 0, 1}, "0", "3"},
        RemoveCase{"past the end removes the last", 6, 4, 0, 0, 50, {3, 0, 0}, "0", "2"},
        RemoveCase{"cursor on the last row moves up", 6, 7, 1, 5, 5, {6, 1, 4}, "0", "5"},
        RemoveCase{"view start on the last item", 6, 3, 2, 0, 0, {2, 1, 0}, "0", "1"},
        RemoveCase{"negative index removes nothing", 6, 3, 0, 0, -1, {3, 0, 0}, "0", "2"},
        RemoveCase{"stored view past the end", 6, 3, 9, 9, 0, {2, 1, 0}, "0", "1"}),
    caseName<RemoveCase>);

struct ScrollCase {
    int sizeOfView, count, viewStartAt, cursorPos, index;
    View after;
};

TEST(KeyEventListView, ScrollToMovesTheCursorOrTheView) {
    const ScrollCase cases[] = {
        {6, 20, 4, 0, 7, {20, 4, 3}},    // visible: only the cursor moves
        {6, 20, 4, 0, 9, {20, 4, 5}},    // last visible row
        {6, 20, 4, 2, 10, {20, 10, 0}},  // below the view
        {6, 20, 4, 2, 3, {20, 3, 0}},    // above the view
        {6, 20, 4, 2, 99, {20, 19, 0}},  // clamped to the last item
        {6, 20, 4, 2, -3, {20, 0, 0}},   // clamped to the first
        {6, 0, 0, 0, 5, {0, 0, 0}},      // empty list
        {6, 5, -3, 0, 1, {5, 1, 0}},     // stored view outside the list
    };
    for (const ScrollCase& c : cases) {
        SCOPED_TRACE(c.index);
        KeyEventList list = makeList(c.sizeOfView, c.count, c.viewStartAt, c.cursorPos);
        list.scrollTo(c.index);
        expectView(list, c.after);
    }
}

TEST(KeyEventListContent, SameContentComparesItemsAndPlaybackButNotViewOrNestedLists) {
    KeyEventList a = makeList(6, 3, 0, 0);
    KeyEventList b = makeList(9, 3, 1, 1);
    b.setChildAtRow(0, KeyEventList());
    EXPECT_TRUE(a.sameContent(b));

    const struct {
        const char* what;
        void (*change)(KeyEventList&);
    } differences[] = {
        {"cycles", [](KeyEventList& l) { l.setCycles(2); }},
        {"auto interval", [](KeyEventList& l) { l.setAutoInterval(true); }},
        {"delay", [](KeyEventList& l) { l.setDelay(31); }},
        {"item case", [](KeyEventList& l) { l.setOrAppend(0, "A"); }},
        {"item count", [](KeyEventList& l) { l.removeAtRow(0); }},
    };
    for (const auto& d : differences) {
        KeyEventList c = a;
        d.change(c);
        EXPECT_FALSE(a.sameContent(c)) << d.what;
    }
    KeyEventList lower = a, upper = a;
    lower.setOrAppend(0, "a");
    upper.setOrAppend(0, "A");
    EXPECT_FALSE(lower.sameContent(upper));
}

TEST(KeyEventListContent, SelectEqualChildFindsTheFirstMatchOrTheFirstItem) {
    KeyEventList list = makeList(3, 8, 0, 0);
    KeyEventList wanted(3);
    wanted.append("child 5", KeyEventList());
    list.selectEqualChild(wanted);
    EXPECT_EQ(list.selectedIndex(), 5);
    EXPECT_EQ(list.viewStartAt(), 5);

    KeyEventList nothing(3);
    nothing.append("no such child", KeyEventList());
    list.selectEqualChild(nothing);
    EXPECT_EQ(list.selectedIndex(), 0);

    KeyEventList empty(3);
    empty.selectEqualChild(wanted);
    expectView(empty, {0, 0, 0});
}

TEST(KeyEventListContent, ClearCopyAndSwap) {
    KeyEventList list = makeList(6, 4, 1, 2);
    list.setCycles(5);
    list.setAutoInterval(true);
    list.setDelay(100);

    KeyEventList copy;
    copy.copyFrom(list);
    EXPECT_TRUE(copy.sameContent(list));
    EXPECT_EQ(copy.sizeOfView(), 6);
    EXPECT_EQ(copy.viewStartAt(), 1);
    EXPECT_EQ(copy.cursorPos(), 2);
    EXPECT_EQ(copy.child(3).items().front(), "child 3");
    copy.setChildAtRow(0, KeyEventList());  // deep: the original keeps its nested list
    EXPECT_EQ(list.child(1).items().front(), "child 1");
    copy.copyFrom(copy);
    EXPECT_EQ(copy.count(), 4);

    KeyEventList other = makeList(9, 1);
    KeyEventList::swapLists(list, other);
    EXPECT_EQ(list.count(), 1);
    EXPECT_EQ(list.sizeOfView(), 9);
    EXPECT_EQ(other.count(), 4);
    EXPECT_EQ(other.cycles(), 5);

    other.clear();
    expectView(other, {0, 0, 0});
    EXPECT_EQ(other.sizeOfView(), 6);
    EXPECT_EQ(other.cycles(), 1);
    EXPECT_FALSE(other.isAutoInterval());
    EXPECT_EQ(other.delay(), 30);
}

TEST(KeyEventListContent, IndexOfItemIsExact) {
    const KeyEventList list = makeList(6, 3);
    EXPECT_EQ(list.indexOfItem("2"), 2);
    EXPECT_EQ(list.indexOfItem("3"), -1);
    EXPECT_EQ(KeyEventList::indexOfItem({"Sleep", "sleep", "Sleep"}, "Sleep"), 0);
    EXPECT_EQ(KeyEventList::indexOfItem({"Sleep", "sleep"}, "sleep"), 1);
    EXPECT_EQ(KeyEventList::indexOfItem({}, ""), -1);
}

}  // namespace
