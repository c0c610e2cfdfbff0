// Event tables: a class's own table before its base's, and a handler that lives
// in a second base class reached with that base's `this`.
#include <gtest/gtest.h>

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

// State of its own puts this base at an offset inside the derived object.
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
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedTarget, CBaseTarget)
    ON_COMMAND(2, &CDerivedTarget::OnTwoDerived)
    ON_COMMAND(3, &CDerivedTarget::OnThree)
    ON_NOTIFY(NM_CLICK, 7, &CDerivedTarget::OnClick)
END_MESSAGE_MAP()

TEST(EventTable, OwnTableFirstThenTheBasesWithEachHandlersOwnThis) {
    NMHDR click7 = {nullptr, 7, NM_CLICK}, click8 = {nullptr, 8, NM_CLICK};
    struct Case {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        const char* call;  // nullptr: nobody answers
        LRESULT result;
        bool baseAlone = false;  // sent to a CBaseTarget, not a CDerivedTarget
    };
    const Case cases[] = {
        {WM_COMMAND, MAKEWPARAM(1, 0), 0, "base one", 0},
        {WM_COMMAND, MAKEWPARAM(2, BN_CLICKED), 0x1234, "derived two", 0},
        {WM_COMMAND, MAKEWPARAM(1, 1), 0, "base one", 0},  // an accelerator
        {WM_COMMAND, MAKEWPARAM(1, BN_SETFOCUS), 0x1234, nullptr, 0},
        {WM_COMMAND, MAKEWPARAM(3, 0), 0, "moved three", 0},
        {WM_NOTIFY, 7, reinterpret_cast<LPARAM>(&click7), "moved click 7", 42},
        {WM_NOTIFY, 8, reinterpret_cast<LPARAM>(&click8), nullptr, 0},
        {WM_COMMAND, MAKEWPARAM(9, 0), 0, nullptr, 0},
        {WM_COMMAND, MAKEWPARAM(2, 0), 0, "base two", 0, true},
        {WM_COMMAND, MAKEWPARAM(3, 0), 0, nullptr, 0, true},  // a base knows only its own table
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.call ? c.call : "nobody") + (c.baseAlone ? ", the base alone" : ""));
        CBaseTarget base;
        CDerivedTarget derived;
        derived.m_name = "moved";
        CCmdTarget& target = c.baseAlone ? static_cast<CCmdTarget&>(base) : derived;
        g_calls.clear();
        LRESULT result = 0;
        EXPECT_EQ(target.OnWndMsg(c.message, c.wParam, c.lParam, &result), c.call ? TRUE : FALSE);
        EXPECT_EQ(g_calls, c.call ? std::vector<std::string>{c.call} : std::vector<std::string>{});
        EXPECT_EQ(result, c.result);
    }
}

}  // namespace
