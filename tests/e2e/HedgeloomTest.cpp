#include "HedgeloomTest.h"

#include <algorithm>

#include "E2eEnvironment.h"
#include "driver/Input.h"
#include "driver/Wait.h"
#include "driver/WindowFacts.h"

namespace e2e {

const char* NameOf(CloseBy how) {
    switch (how) {
    case CloseBy::ExitButton: return "ExitButton";
    case CloseBy::EscapeKey: return "EscapeKey";
    case CloseBy::EnterKey: return "EnterKey";
    case CloseBy::CloseBox: return "CloseBox";
    case CloseBy::SysCommandClose: return "SysCommandClose";
    }
    return "?";
}

void HedgeloomTest::SetUp() {
    m_registry.DeleteTree(hl::kTypedUrlsKey);
    m_registry.DeleteTree(hl::kTypedUrlsTimeKey);
    m_registry.DeleteTree(hl::kProfileKey);
    ASSERT_FALSE(m_registry.KeyExists(hl::kTypedUrlsKey));
    ASSERT_FALSE(m_registry.KeyExists(hl::kTypedUrlsTimeKey));
    ASSERT_FALSE(m_registry.KeyExists(hl::kProfileKey));
}

void HedgeloomTest::SeedTypedUrls(const std::vector<RegValue>& values) {
    ASSERT_TRUE(m_registry.CreateKey(hl::kTypedUrlsKey));
    for (const RegValue& value : values) ASSERT_TRUE(m_registry.Set(hl::kTypedUrlsKey, value)) << value.name;
}

void HedgeloomTest::SeedTypedUrls(const std::vector<std::pair<std::string, std::string>>& namesAndUrls) {
    std::vector<RegValue> values;
    for (const auto& [name, url] : namesAndUrls) values.push_back(Sz(name, url));
    SeedTypedUrls(values);
}

void HedgeloomTest::Remember(const std::string& url, DWORD checked) {
    ASSERT_TRUE(m_registry.Set(hl::kSectionKey, Dword(url, checked)));
}

std::vector<std::string> HedgeloomTest::NamesTopDown() const {
    std::vector<std::string> names = m_registry.Names(hl::kTypedUrlsKey);
    std::reverse(names.begin(), names.end());
    return names;
}

void HedgeloomTest::Start(bool visible) {
    m_run = std::make_unique<HedgeloomRun>(E2eEnvironment::Get().hedgeloomExe);
    ASSERT_TRUE(m_run->Started()) << "CreateProcess failed: " << m_run->StartError();
    ASSERT_NE(m_run->WaitForMainWindow(visible), nullptr) << "no main window appeared";
}

void HedgeloomTest::Press(int id) {
    HWND button = m_run->Control(id);
    ASSERT_NE(button, nullptr) << "no control " << id;
    bool answered = false;
    SendTimed(button, BM_CLICK, 0, 0, &answered);
    ASSERT_TRUE(answered) << "button " << id << " was not handled in time";
}

void HedgeloomTest::Close(CloseBy how, bool waitForExit) {
    HWND main = m_run->MainWindow();
    switch (how) {
    case CloseBy::ExitButton:
        PostClick(GetDlgItem(main, IDCANCEL));
        break;
    case CloseBy::EscapeKey:
        // Keys go where the keyboard sends them: to the focus.
        PostKey(FocusOfThread(main), VK_ESCAPE);
        break;
    case CloseBy::EnterKey: {
        // Enter closes only while no button has the focus; the list has it from the start.
        HWND focus = FocusOfThread(main);
        ASSERT_EQ(focus, GetDlgItem(main, IDC_LIST)) << "the list does not have the focus";
        PostKey(focus, VK_RETURN);
        break;
    }
    case CloseBy::CloseBox: {
        POINT box{};
        ASSERT_TRUE(CaptionPoint(main, HTCLOSE, &box)) << "no close box on the caption";
        ASSERT_TRUE(BringToFront(main));
        ClickAt(box);
        break;
    }
    case CloseBy::SysCommandClose:
        PostMessageA(main, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    }
    if (!waitForExit) {
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(main) || !IsWindowVisible(main); }, 15000))
            << "the window did not go after " << NameOf(how);
        return;
    }
    ASSERT_TRUE(m_run->WaitForExit()) << "the program did not end after " << NameOf(how);
    EXPECT_EQ(m_run->ExitCode(), 0u);
}

CommandRun HedgeloomTest::Command(const std::string& arguments) {
    CommandRun run = RunCommand(E2eEnvironment::Get().hedgeloomExe, arguments);
    EXPECT_TRUE(run.ended) << arguments << " did not end";
    EXPECT_FALSE(run.showedWindow) << arguments << " showed a window";
    return run;
}

ProfileEntries HedgeloomTest::Profile() const {
    ProfileEntries entries;
    for (const RegValue& value : m_registry.Values(hl::kSectionKey)) {
        EXPECT_EQ(value.type, static_cast<DWORD>(REG_DWORD)) << "entry " << value.name;
        EXPECT_EQ(value.data.size(), sizeof(DWORD)) << "entry " << value.name;
        DWORD number = 0xFFFFFFFF;
        if (value.data.size() == sizeof number) std::copy(value.data.begin(), value.data.end(), reinterpret_cast<char*>(&number));
        entries[value.name] = number;
    }
    return entries;
}

std::vector<RegValue> HedgeloomTest::Export(const std::string& path) const {
    bool complete = false;
    std::vector<RegValue> values = m_registry.Values(path, &complete);
    EXPECT_TRUE(complete) << "could not read all of " << path;
    return values;
}

}  // namespace e2e
