// The whole job by keyboard alone, with real key presses through the system's
// input queue: reach the list, uncheck a row, press "Delete Unchecked", leave.

#include "HedgeloomTest.h"

namespace e2e {
namespace {

class KeyboardTest : public HedgeloomTest {};

TEST_F(KeyboardTest, PrunesAndRemembersWithKeysAlone) {
    const std::vector<std::string> urls = {"http://alpha.example.com/", "http://beta.example.com/",
                                           "http://gamma.example.com/"};
    ASSERT_NO_FATAL_FAILURE(SeedTypedUrls(urls, urls));
    const std::vector<std::string> top = TopDown();

    ASSERT_NO_FATAL_FAILURE(Start());
    HWND main = Run().MainWindow();
    const RemoteListView list = List();
    auto FocusId = [&] { HWND focus = FocusOfThread(main); return focus ? static_cast<short>(GetDlgCtrlID(focus)) : 0; };
    auto TypeTo = [&](WORD key, int id) { TypeKey(key); return WaitUntil([&] { return FocusId() == id; }, 3000); };
    ASSERT_EQ(list.Checks(), (std::vector<bool>{true, true, true}));
    ASSERT_TRUE(BringToFront(main)) << "the main window does not take the keyboard";
    ASSERT_EQ(FocusId(), IDC_LIST) << "the list does not have the focus when the window opens";

    // Tab visits every button once, in the template's order, and comes back to the list.
    const int tabOrder[] = {IDCANCEL,   IDC_VISIT_SITE, IDC_DELETE_UNCHECKED, IDC_ABOUT,
                            IDC_CHECK_ALL, IDC_UNCHECK_ALL, IDC_INVERT_CHECKS,    IDC_LIST};
    for (int id : tabOrder) ASSERT_TRUE(TypeTo(VK_TAB, id)) << "Tab did not reach control " << id << "; at " << FocusId();

    // Home, then Down: the second row; Space unchecks it.
    TypeKey(VK_HOME);
    TypeKey(VK_DOWN);
    ASSERT_TRUE(WaitUntil([&] { return list.FirstSelected() == 1; }, 3000)) << "selected: " << list.FirstSelected();
    TypeKey(VK_SPACE);
    ASSERT_TRUE(WaitUntil([&] { return list.Checks() == std::vector<bool>{true, false, true}; }, 3000))
        << "Space did not uncheck the second row only";

    for (int id : {IDCANCEL, IDC_VISIT_SITE, IDC_DELETE_UNCHECKED})
        ASSERT_TRUE(TypeTo(VK_TAB, id)) << "Tab did not reach control " << id << "; at " << FocusId();
    TypeKey(VK_SPACE);
    ASSERT_TRUE(WaitUntil([&] { return list.Count() == 2; }, 5000)) << "Space did not press Delete Unchecked";
    const std::vector<Row> kept = {{top[0], "url1", true}, {top[2], "url2", true}};
    EXPECT_EQ(list.Rows(), kept);

    TypeKey(VK_ESCAPE);
    ASSERT_TRUE(Run().WaitForExit()) << "Escape did not close the window";
    EXPECT_EQ(Run().ExitCode(), 0u);

    // Renumbered top first, which both orders of enumeration list as written.
    EXPECT_EQ(m_registry.Values(hl::kTypedUrlsKey), (std::vector<RegValue>{Sz("url1", top[0]), Sz("url2", top[2])}));
    EXPECT_TRUE(Remembers(kept));
}

}  // namespace
}  // namespace e2e
