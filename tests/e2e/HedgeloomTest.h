// The fixture of every end-to-end test: clean keys, a run of the program, the ways a user closes it; and what
// it must show and a pruning leave, from full exports of the registry, never from what the program reports.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <map>
#include <memory>

#include "ProductNames.h"
#include "driver/Driver.h"
#include "support/Values.h"

namespace e2e {

using namespace drive;
using namespace hltest;

// The captions as a user reads them, written out on purpose rather than taken from the resource script.
inline constexpr const char kAppCaption[] = "Hedgeloom";
inline constexpr const char kAboutCaption[] = "About Hedgeloom";

enum class CloseBy { ExitButton, EscapeKey, EnterKey, AltF4 };
inline const char* NameOf(CloseBy how) { return std::array{"ExitButton", "EscapeKey", "EnterKey", "AltF4"}[static_cast<int>(how)]; }

// A window of the browser's frame class, as a running Internet Explorer shows; the program only looks for it.
using Window = std::unique_ptr<std::remove_pointer_t<HWND>, decltype(&DestroyWindow)>;
inline Window FakeBrowser() {
    WNDCLASSA frame{0, DefWindowProcA, 0, 0, GetModuleHandleA(nullptr), nullptr, nullptr, nullptr, nullptr, "IEFrame"};
    RegisterClassA(&frame);  // or registered by the one before
    return {CreateWindowExA(0, "IEFrame", "", 0, 0, 0, 200, 100, nullptr, nullptr, frame.hInstance, nullptr), DestroyWindow};
}

// The program and our stand-in for the browser (recorder.exe); main() finds them.
inline std::string g_hedgeloomExe, g_recorderExe;

// The program runs with UTF-8 as its ANSI code page, and so do these tests: texts compare as bytes.
inline constexpr CodePage kProgramCodePage = CodePage::Utf8;

// Compared item by item, so that a long list reports where it goes wrong.
template <typename T> testing::AssertionResult SameItems(const std::vector<T>& actual, const std::vector<T>& expected) {
    const auto differ = std::mismatch(actual.begin(), actual.end(), expected.begin(), expected.end());
    if (differ.first == actual.end() && differ.second == expected.end()) return testing::AssertionSuccess();
    testing::AssertionResult fault = testing::AssertionFailure();
    fault << actual.size() << " items, " << expected.size() << " expected; item " << (differ.first - actual.begin());
    if (differ.first != actual.end()) fault << " is " << *differ.first;
    if (differ.second != expected.end()) fault << ", should be " << *differ.second;
    return fault;
}

// The rows from the top: the values that fit, checked where the profile holds a 32-bit 1.
inline std::vector<Row> ExpectedRows(const std::vector<RegValue>& key, const std::vector<RegValue>& profile) {
    std::map<std::string, bool> checked;  // a long list asks for every address
    for (const RegValue& entry : profile) checked.emplace(Folded(entry.name), entry == Dword(entry.name, 1));
    std::vector<Row> rows;
    for (auto value = key.rbegin(); value != key.rend(); ++value)
        if (Fits(*value, kProgramCodePage))
            rows.push_back({ShownText(value->data), value->name, checked[Folded(ShownText(value->data))]});
    return rows;
}

// The key after a pruning kept these rows: they as url1..urlN, the values not listed with type and bytes unchanged.
inline testing::AssertionResult PrunedAsItMust(const std::vector<RegValue>& before, const std::vector<Row>& kept,
                                               const std::vector<RegValue>& after) {
    return SameItems(Sorted(after), Sorted(ExpectedKey(kept, before, kProgramCodePage))) << " in the key after pruning";
}

// Where the recorder appends what it is given: in the prefix, which suites run side by side do not share.
inline std::string OpenLog() {
    char temp[MAX_PATH] = {};
    return std::string(temp, GetTempPathA(MAX_PATH, temp)) + "hedgeloom-opened.log";
}

class HedgeloomTest : public testing::Test {
protected:
    void SetUp() override {
        // No organization keeps anything unless a case says so.
        m_machine.DeleteTree(hl::kKeepPolicyKey);
        ASSERT_FALSE(m_machine.KeyExists(hl::kKeepPolicyKey));
        for (const char* key : {hl::kTypedUrlsKey, hl::kTypedUrlsTimeKey, hl::kProfileKey, hl::kKeepPolicyKey}) {
            m_registry.DeleteTree(key);
            ASSERT_FALSE(m_registry.KeyExists(key)) << key;
        }
    }

    // The key as the browser numbers it, url1 holding the first address.
    void SeedTypedUrls(const std::vector<std::string>& addresses, const std::vector<std::string>& checked = {}) {
        std::vector<RegValue> values, marks;
        for (const std::string& address : addresses) values.push_back(Sz("url" + std::to_string(values.size() + 1), address));
        for (const std::string& address : checked) marks.push_back(Dword(address, 1));
        ASSERT_TRUE(m_registry.SetAll(hl::kTypedUrlsKey, values) && (marks.empty() || m_registry.SetAll(hl::kSectionKey, marks)));
    }

    void Start(bool visible = true) {
        m_run = std::make_unique<HedgeloomRun>(g_hedgeloomExe);
        ASSERT_NE(m_run->WaitForMainWindow(visible), nullptr) << (m_run->Started() ? "no main window appeared" : "the program did not start");
    }
    HedgeloomRun& Run() { return *m_run; }
    RemoteListView List() const { return m_run->List(); }
    void Press(int id) {
        bool answered = false;
        SendTimed(m_run->Control(id), BM_CLICK, 0, 0, &answered);
        ASSERT_TRUE(answered) << "button " << id << " is not there or was not handled in time";
    }

    // Waits for the process to end, or only for the window to go, then starts again, the old run in m_closing.
    void Close(CloseBy how, bool startAgain = false) {
        HWND main = m_run->MainWindow();
        // Keys reach the focus of the window in front. Enter closes only while no button has the focus;
        // the list has it from the start. Alt+F4 the system turns into the close box's command.
        ASSERT_TRUE(how == CloseBy::ExitButton || BringToFront(main));
        ASSERT_TRUE(how != CloseBy::EnterKey || FocusOfThread(main) == GetDlgItem(main, IDC_LIST)) << "the list has no focus";
        if (how == CloseBy::ExitButton) PostClick(GetDlgItem(main, IDCANCEL));
        if (how == CloseBy::EscapeKey || how == CloseBy::EnterKey) TypeKey(how == CloseBy::EscapeKey ? VK_ESCAPE : VK_RETURN);
        if (how == CloseBy::AltF4) TypeChord({VK_MENU}, VK_F4);
        if (startAgain) {
            ASSERT_TRUE(WaitUntil([&] { return !IsWindow(main) || !IsWindowVisible(main); }, 15000))
                << "the window did not go after " << NameOf(how);
            m_closing = std::move(m_run);
            return Start();
        }
        ASSERT_EQ(m_run->ExitCode(15000), 0u) << "the program's status (259: it did not end) after " << NameOf(how);
    }

    // Makes the recorder the shell's "open" for http and https: every address opened is a line of its log.
    void RecordOpens() {
        DeleteFileA(OpenLog().c_str());
        // The prefix's shell reads the machine's classes: our handler alone, no DDE or other leftovers.
        for (const std::string protocol : {"http", "https"}) {
            const std::string root = "Software\\Classes\\" + protocol;
            m_machine.DeleteTree(root);
            ASSERT_TRUE(m_machine.SetAll(root, {Sz("", "URL:" + protocol), Sz("URL Protocol", "")}) &&
                        m_machine.Set(root + "\\shell\\open\\command",
                                      Sz("", "\"" + g_recorderExe + "\" \"" + OpenLog() + "\" \"%1\"")))
                << "could not make the recorder the handler of " << protocol;
        }
    }

    // The addresses opened so far, once there are `count` of them or time is up.
    std::vector<std::string> Opened(std::size_t count = 0) const {
        std::vector<std::string> lines;
        WaitUntil([&] {
            lines.clear();
            std::ifstream log(OpenLog(), std::ios::binary);
            for (std::string line; std::getline(log, line);) lines.push_back(line);
            return lines.size() >= count;
        }, 10000, 50);
        return lines;
    }

    // Runs the program from a command line to its end, which must come in time and without a window.
    CommandRun Command(const std::string& arguments) {
        CommandRun run = RunCommand(g_hedgeloomExe, arguments);
        EXPECT_TRUE(run.ended && !run.showedWindow) << arguments << (run.ended ? " showed a window" : " did not end");
        return run;
    }

    // A point on the row's address near its start (the column is wider than the list shows), or in the middle of
    // its check box, between the row's left edge and its label; scrolled into view.
    POINT PointOn(int row, bool checkBox = false) const {
        SendTimed(List().hwnd, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
        RECT bounds{}, label{};
        EXPECT_TRUE(List().RectOnScreen(row, LVIR_BOUNDS, &bounds) && List().RectOnScreen(row, LVIR_LABEL, &label) &&
                    label.left > bounds.left) << "row " << row;
        return {checkBox ? (bounds.left + label.left) / 2 : label.left + 30, (label.top + label.bottom) / 2};
    }

    // The profile holds each row's exact address and its mark (set if any row of it is) as a DWORD, and nothing else.
    testing::AssertionResult Remembers(const std::vector<Row>& rows) const {
        std::map<std::string, bool> marks;  // rows of one address share its entry
        for (const Row& row : rows) marks[row.address] |= row.checked;
        std::vector<RegValue> wanted;
        for (const auto& [address, checked] : marks) wanted.push_back(Dword(address, checked));
        return SameItems(Sorted(Export(hl::kSectionKey)), Sorted(wanted)) << " in the profile";
    }

    // Every value of a key; one the registry would not give is a failure.
    std::vector<RegValue> Export(const std::string& path) const {
        bool complete = false;
        std::vector<RegValue> values = m_registry.Values(path, &complete);
        EXPECT_TRUE(complete) << "could not read all of " << path;
        return values;
    }

    // The browser's key, its stamps and the profile: what a run that changes nothing leaves alone.
    std::vector<std::vector<RegValue>> Keys() const {
        return {Export(hl::kTypedUrlsKey), Export(hl::kTypedUrlsTimeKey), Export(hl::kSectionKey)};
    }

    Registry m_registry, m_machine{HKEY_LOCAL_MACHINE};  // the machine's for the organization's policy
    std::unique_ptr<HedgeloomRun> m_run, m_closing;  // the run at hand, the one closing while the next starts
};

}  // namespace e2e
