// Event tables: which handler a message reaches, and on which object.
#include <gtest/gtest.h>

#include <cctype>
#include <ostream>
#include <string>
#include <vector>

#include "CmdTarget.h"

namespace {

std::vector<std::string> g_calls;

class CBaseTarget : public CCmdTarget {
public:
    void OnOne() { g_calls.push_back("base one"); }
    void OnTwo() { g_calls.push_back("base two"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBaseTarget, CCmdTarget)
    ON_COMMAND(1, &CBaseTarget::OnOne)
    ON_COMMAND(2, &CBaseTarget::OnTwo)
END_MESSAGE_MAP()

// A second base with state of its own, so that its members see a shifted `this`.
class CSecondBase {
public:
    std::string m_name = "second";
    void OnThree() { g_calls.push_back(m_name + " three"); }
    void OnClick(NMHDR* header, LRESULT* result) {
        g_calls.push_back(m_name + " click " + std::to_string(header->idFrom));
        *result = 42;
    }
};

class CDerivedTarget : public CBaseTarget, public CSecondBase {
public:
    void OnTwoDerived() { g_calls.push_back("derived two"); }
    void OnTwoAgain() { g_calls.push_back("derived two again"); }
    void OnPaint() { g_calls.push_back("derived paint"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedTarget, CBaseTarget)
    ON_COMMAND(2, &CDerivedTarget::OnTwoDerived)
    ON_COMMAND(3, &CDerivedTarget::OnThree)
    ON_NOTIFY(NM_CLICK, 7, &CDerivedTarget::OnClick)
    ON_COMMAND(2, &CDerivedTarget::OnTwoAgain)
    ON_WM_PAINT()
END_MESSAGE_MAP()

struct Dispatch {
    const char* what;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    const char* expected;  // nullptr: nobody answers
};

void PrintTo(const Dispatch& value, std::ostream* os) { *os << value.what; }

NMHDR g_click7 = {nullptr, 7, NM_CLICK};
NMHDR g_click8 = {nullptr, 8, NM_CLICK};
NMHDR g_other7 = {nullptr, 7, NM_DBLCLK};

class EventTable : public ::testing::TestWithParam<Dispatch> {};

TEST_P(EventTable, ReachesTheFirstMatchingHandler) {
    const Dispatch& d = GetParam();
    CDerivedTarget target;
    target.m_name = "moved";
    g_calls.clear();
    LRESULT result = -1;
    const BOOL handled = target.OnWndMsg(d.message, d.wParam, d.lParam, &result);
    if (!d.expected) {
        EXPECT_FALSE(handled);
        EXPECT_TRUE(g_calls.empty());
        return;
    }
    EXPECT_TRUE(handled);
    ASSERT_EQ(g_calls.size(), 1u);
    EXPECT_EQ(g_calls[0], d.expected);
}

const LPARAM kControl = 0x1234;  // any non-null control handle

INSTANTIATE_TEST_SUITE_P(
    Tables, EventTable,
    ::testing::Values(
        Dispatch{"base only", WM_COMMAND, MAKEWPARAM(1, 0), 0, "base one"},
        Dispatch{"derived before base", WM_COMMAND, MAKEWPARAM(2, 0), 0, "derived two"},
        Dispatch{"member of second base", WM_COMMAND, MAKEWPARAM(3, 0), 0, "moved three"},
        Dispatch{"button click", WM_COMMAND, MAKEWPARAM(3, BN_CLICKED), kControl, "moved three"},
        Dispatch{"accelerator", WM_COMMAND, MAKEWPARAM(1, 1), 0, "base one"},
        Dispatch{"other control code", WM_COMMAND, MAKEWPARAM(1, BN_SETFOCUS), kControl, nullptr},
        Dispatch{"unknown command", WM_COMMAND, MAKEWPARAM(9, 0), 0, nullptr},
        Dispatch{"notify", WM_NOTIFY, 7, reinterpret_cast<LPARAM>(&g_click7), "moved click 7"},
        Dispatch{"notify other id", WM_NOTIFY, 8, reinterpret_cast<LPARAM>(&g_click8), nullptr},
        Dispatch{"notify other code", WM_NOTIFY, 7, reinterpret_cast<LPARAM>(&g_other7), nullptr},
        Dispatch{"plain message", WM_PAINT, 0, 0, "derived paint"},
        Dispatch{"unanswered message", WM_SIZE, 0, 0, nullptr}),
    [](const ::testing::TestParamInfo<Dispatch>& info) {
        std::string name = info.param.what;
        for (char& c : name)
            if (!isalnum(static_cast<unsigned char>(c))) c = '_';
        return name;
    });

TEST(EventTable, NotifyHandlerSetsTheResult) {
    CDerivedTarget target;
    LRESULT result = 0;
    ASSERT_TRUE(target.OnWndMsg(WM_NOTIFY, 7, reinterpret_cast<LPARAM>(&g_click7), &result));
    EXPECT_EQ(result, 42);
}

TEST(EventTable, BaseObjectKnowsOnlyItsOwnTable) {
    CBaseTarget target;
    g_calls.clear();
    LRESULT result = 0;
    EXPECT_TRUE(target.OnWndMsg(WM_COMMAND, MAKEWPARAM(2, 0), 0, &result));
    EXPECT_FALSE(target.OnWndMsg(WM_COMMAND, MAKEWPARAM(3, 0), 0, &result));
    EXPECT_EQ(g_calls, std::vector<std::string>{"base two"});
}

}  // namespace
