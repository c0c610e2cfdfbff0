// The main window at larger screen scales: the program declares itself
// DPI-aware, so the dialog grows with its font, and the address column, given
// in pixels for 96 DPI, must grow with it to keep spanning the list.
#include <windows.h>

#include <optional>

#include "HedgeloomTest.h"

namespace e2e {
namespace {

// Where Wine, like Windows, keeps the scale that programs started from now on see.
constexpr const char kDesktopPath[] = "Control Panel\\Desktop";
constexpr const char kLogPixels[] = "LogPixels";

class ScreenScaleTest : public HedgeloomTest, public testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(HedgeloomTest::SetUp());
        m_saved = m_registry.Find(kDesktopPath, kLogPixels);
        ASSERT_TRUE(m_registry.Set(kDesktopPath, Dword(kLogPixels, static_cast<DWORD>(GetParam()))));
    }
    void TearDown() override {
        if (m_saved)
            m_registry.Set(kDesktopPath, *m_saved);
        else
            RegDeleteKeyValueA(HKEY_CURRENT_USER, kDesktopPath, kLogPixels);
    }

private:
    std::optional<RegValue> m_saved;
};

TEST_P(ScreenScaleTest, TheAddressColumnGrowsWithTheWindow) {
    const int dpi = GetParam();
    ASSERT_NO_FATAL_FAILURE(SeedTypedUrls({{"url1", "http://one.example.com/"}}));
    ASSERT_NO_FATAL_FAILURE(Start());
    std::string columns;
    for (const ListColumn& column : List().Columns())
        columns += column.heading + " " + std::to_string(column.width) + ";";
    EXPECT_EQ(columns, "Url " + std::to_string(MulDiv(400, dpi, 96)) + ";Index 3;");
    // As at 96 DPI, the addresses take most of the list's width, and no more.
    RECT client{};
    ASSERT_TRUE(GetClientRect(List().hwnd(), &client));
    const double span = List().Columns().at(0).width / static_cast<double>(client.right - client.left);
    EXPECT_GT(span, 0.8) << "the address column leaves the list half empty";
    EXPECT_LE(span, 1.0) << "the address column runs past the list";
    ASSERT_NO_FATAL_FAILURE(Close(CloseBy::ExitButton));
}

INSTANTIATE_TEST_SUITE_P(LargerScales, ScreenScaleTest, testing::Values(120, 144),
                         [](const testing::TestParamInfo<int>& info) { return std::to_string(info.param) + "dpi"; });

}  // namespace
}  // namespace e2e
