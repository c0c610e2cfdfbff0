// A click on a row opens its address through the shell, and the site button
// opens the maker's site: observed by the program the shell starts for them.
#include <cstdio>

#include "E2eEnvironment.h"
#include "HedgeloomTest.h"
#include "driver/Input.h"
#include "ProtocolRecorder.h"
#include "driver/WindowFacts.h"

namespace e2e {
namespace {

constexpr DWORD kNothingOpensMs = 1500;

POINT Middle(const RECT& rect) { return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}; }

class OpeningTest : public HedgeloomTest {};

TEST_F(OpeningTest, AClickOpensTheFirstSelectedRowAndTheSiteButtonTheSite) {
    ASSERT_NO_FATAL_FAILURE(SeedTypedUrls({{"url1", "http://www.example.com/first?q=1"},
                                           {"url2", "http://www.example.org/second/page.html"},
                                           {"url3", "http://www.example.net/third#part"}}));
    const E2eEnvironment& environment = E2eEnvironment::Get();
    ProtocolRecorder recorder(environment.recorderExe, environment.scratchDir + "hedgeloom-opened.log", {"http", "https"});
    ASSERT_TRUE(recorder.Registered());
    ASSERT_NO_FATAL_FAILURE(Start());
    const RemoteListView list = List();
    const std::vector<ListRow> rows = list.Rows();
    ASSERT_EQ(rows.size(), 3u);
    RECT label[3];
    for (int row = 0; row < 3; ++row) ASSERT_TRUE(list.LabelOnScreen(row, &label[row]));
    ASSERT_TRUE(BringToFront(Run().MainWindow()));

    // Below the last row: nothing selected, nothing opened.
    RECT client{};
    GetClientRect(list.hwnd(), &client);
    MapWindowPoints(list.hwnd(), HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
    const POINT empty{label[2].left + 20, label[2].bottom + 40};
    ASSERT_LT(empty.y, client.bottom);
    ClickAt(empty);
    Sleep(kNothingOpensMs);
    EXPECT_EQ(list.FirstSelected(), -1);
    EXPECT_TRUE(recorder.Lines().empty()) << "a click on no row opened " << recorder.Lines()[0];

    struct Click {
        int row;
        bool shift;
        int opened;  // the row whose address the shell must get
    };
    // With Shift the selection runs from row 0 to row 2: the first selected is opened.
    const Click clicks[] = {{1, false, 1}, {0, false, 0}, {2, true, 0}};
    std::vector<std::string> expected;
    for (const Click& click : clicks) {
        SCOPED_TRACE("click on row " + std::to_string(click.row) + (click.shift ? " with Shift" : ""));
        ClickAt(Middle(label[click.row]), click.shift);
        expected.push_back(rows[click.opened].url);
        EXPECT_EQ(recorder.WaitForLines(expected.size()), expected);
    }
    EXPECT_EQ(list.FirstSelected(), 0);

    PostClick(Run().Control(kSiteButtonId));
    expected.push_back(kMakerSite);
    EXPECT_EQ(recorder.WaitForLines(expected.size()), expected);

    // Opening changes no check mark.
    EXPECT_EQ(list.Checks(), std::vector<bool>(3, false));
    ASSERT_NO_FATAL_FAILURE(Close(CloseBy::ExitButton));
    EXPECT_EQ(recorder.Lines(), expected) << "something more was opened";
    for (const std::string& line : recorder.Lines()) std::printf("e2e: the shell was asked to open %s\n", line.c_str());
    EXPECT_EQ(Profile(), (ProfileEntries{{rows[0].url, 0}, {rows[1].url, 0}, {rows[2].url, 0}}));
}

}  // namespace
}  // namespace e2e
