#include "HedgeloomTest.h"

#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <fstream>

namespace e2e {

const char* NameOf(CloseBy how) {
    static const char* const names[] = {"ExitButton", "EscapeKey", "EnterKey", "AltF4"};
    return names[static_cast<int>(how)];
}

void HedgeloomTest::SetUp() {
    // No organization keeps anything unless a case says so.
    const std::pair<const Registry*, const char*> keys[] = {{&m_registry, hl::kTypedUrlsKey}, {&m_registry, hl::kTypedUrlsTimeKey},
        {&m_registry, hl::kProfileKey}, {&m_registry, hl::kKeepPolicyKey}, {&m_machine, hl::kKeepPolicyKey}};
    for (const auto& [root, key] : keys) {
        root->DeleteTree(key);
        ASSERT_FALSE(root->KeyExists(key)) << key;
    }
}

void HedgeloomTest::SeedTypedUrls(const std::vector<std::string>& addresses, const std::vector<std::string>& checked) {
    std::vector<RegValue> values, marks;
    for (const std::string& address : addresses) values.push_back(Sz("url" + std::to_string(values.size() + 1), address));
    for (const std::string& address : checked) marks.push_back(Dword(address, 1));
    ASSERT_TRUE(m_registry.SetAll(hl::kTypedUrlsKey, values));
    ASSERT_TRUE(marks.empty() || m_registry.SetAll(hl::kSectionKey, marks));
}

void HedgeloomTest::Start(bool visible) {
    m_run = std::make_unique<HedgeloomRun>(g_hedgeloomExe);
    ASSERT_TRUE(m_run->Started()) << "the program could not be started";
    ASSERT_NE(m_run->WaitForMainWindow(visible), nullptr) << "no main window appeared";
}

void HedgeloomTest::Press(int id) {
    bool answered = false;
    SendTimed(m_run->Control(id), BM_CLICK, 0, 0, &answered);
    ASSERT_TRUE(answered) << "button " << id << " is not there or was not handled in time";
}

void HedgeloomTest::Close(CloseBy how, bool startAgain) {
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
    ASSERT_TRUE(m_run->WaitForExit()) << "the program did not end after " << NameOf(how);
    EXPECT_EQ(m_run->ExitCode(), 0u);
}

// Where the recorder appends what it is given: in the prefix, which suites run side by side do not share.
static std::string OpenLog() {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    return std::string(temp) + "hedgeloom-opened.log";
}

void HedgeloomTest::RecordOpens() {
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

std::vector<std::string> HedgeloomTest::Opened(std::size_t count) const {
    std::vector<std::string> lines;
    WaitUntil([&] {
        lines.clear();
        std::ifstream log(OpenLog(), std::ios::binary);
        for (std::string line; std::getline(log, line);) lines.push_back(line);
        return lines.size() >= count;
    }, 10000, 50);
    return lines;
}

CommandRun HedgeloomTest::Command(const std::string& arguments) {
    CommandRun run = RunCommand(g_hedgeloomExe, arguments);
    EXPECT_TRUE(run.ended) << arguments << " did not end";
    EXPECT_FALSE(run.showedWindow) << arguments << " showed a window";
    return run;
}

POINT HedgeloomTest::OnAddress(int row) const {
    SendTimed(List().hwnd, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
    RECT label{};
    EXPECT_TRUE(List().RectOnScreen(row, LVIR_LABEL, &label)) << "row " << row;
    return {label.left + 30, (label.top + label.bottom) / 2};
}

testing::AssertionResult HedgeloomTest::Remembers(const std::vector<Row>& rows) const {
    std::map<std::string, bool> marks;  // rows of one address share its entry
    for (const Row& row : rows) marks[row.address] |= row.checked;
    std::vector<RegValue> wanted;
    for (const auto& [address, checked] : marks) wanted.push_back(Dword(address, checked));
    return SameItems(Sorted(Export(hl::kSectionKey)), Sorted(wanted)) << " in the profile";
}

std::vector<RegValue> HedgeloomTest::Export(const std::string& path) const {
    bool complete = false;
    std::vector<RegValue> values = m_registry.Values(path, &complete);
    EXPECT_TRUE(complete) << "could not read all of " << path;
    return values;
}

std::vector<std::vector<RegValue>> HedgeloomTest::Keys() const {
    return {Export(hl::kTypedUrlsKey), Export(hl::kTypedUrlsTimeKey), Export(hl::kSectionKey)};
}

std::vector<Row> ExpectedRows(const std::vector<RegValue>& key, const std::vector<RegValue>& profile) {
    std::map<std::string, bool> checked;  // a long list asks for every address
    for (const RegValue& entry : profile) checked.emplace(Folded(entry.name), entry == Dword(entry.name, 1));  // only a 32-bit 1
    std::vector<Row> rows;
    for (auto value = key.rbegin(); value != key.rend(); ++value)
        if (hltest::Fits(*value, kProgramCodePage))
            rows.push_back({ShownText(value->data), value->name, checked[Folded(ShownText(value->data))]});
    return rows;
}

testing::AssertionResult PrunedAsItMust(const std::vector<RegValue>& before, const std::vector<Row>& kept,
                                        const std::vector<RegValue>& after) {
    const std::vector<RegValue> expected = hltest::ExpectedKey(kept, before, kProgramCodePage);
    return SameItems(hltest::Sorted(after), hltest::Sorted(expected)) << " in the key after pruning";
}

std::string ExpectedListing(const std::vector<Row>& rows, const std::vector<RegValue>& stamps) {
    // A name or an address in one field, whatever it holds.
    auto field = [](const std::string& text) {
        std::string escaped;
        for (char c : text)
            escaped += c == '\\' ? "\\\\" : c == '\t' ? "\\t" : c == '\n' ? "\\n" : c == '\r' ? "\\r" : std::string(1, c);
        return escaped;
    };
    std::string lines;
    for (const Row& row : rows) {
        unsigned long long time = 0;
        for (const RegValue& stamp : stamps)
            if (stamp.name == row.name && stamp.data.size() == sizeof time) std::memcpy(&time, stamp.data.data(), sizeof time);
        const FILETIME stamp{static_cast<DWORD>(time), static_cast<DWORD>(time >> 32)};
        SYSTEMTIME utc{};
        char when[32] = "";
        if (time && FileTimeToSystemTime(&stamp, &utc))
            std::snprintf(when, sizeof when, "%04u-%02u-%02uT%02u:%02u:%02uZ", utc.wYear, utc.wMonth, utc.wDay,
                          utc.wHour, utc.wMinute, utc.wSecond);
        lines += std::string(row.checked ? "1" : "0") + '\t' + field(row.name) + '\t' + field(row.address) + '\t' + when + "\r\n";
    }
    return lines;
}

}  // namespace e2e
