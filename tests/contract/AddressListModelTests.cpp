// The list control's answers that the typed-address logic depends on. Run against
// the real list-view too, so that the in-memory model cannot drift from it.
#include <cstring>

#include "contract/Contract.h"

namespace hltest {
namespace {

using AddressListModel = Contract;

TEST_P(AddressListModel, TextIntoABufferIsCutAndTerminated) {
    const std::string text(259, 't');
    ASSERT_EQ(List().InsertItem(0, text.c_str()), 0);
    for (int length : {1, 2, 100, 259, 260, 261}) {
        SCOPED_TRACE(length);
        char buffer[300];
        std::memset(buffer, 'Z', sizeof buffer);
        const int copied = List().GetItemText(0, 0, buffer, length);
        const std::size_t expected = std::min<std::size_t>(text.size(), static_cast<std::size_t>(length - 1));
        EXPECT_EQ(copied, static_cast<int>(expected));
        EXPECT_EQ(std::string(buffer, strnlen(buffer, sizeof buffer)), text.substr(0, expected));
        EXPECT_EQ(buffer[length], 'Z') << "written past the buffer";
    }
}

TEST_P(AddressListModel, RowsInsertedAnywhereStartUnchecked) {
    EXPECT_EQ(List().InsertItem(5, "a"), 0) << "past the end appends";
    EXPECT_EQ(List().InsertItem(1, "c"), 1);
    EXPECT_EQ(List().InsertItem(0, "b"), 0);
    EXPECT_TRUE(List().SetItemText(2, 1, "name"));
    EXPECT_EQ(Rows(), (std::vector<Row>{{"b", ""}, {"a", ""}, {"c", "name"}}));
    EXPECT_EQ(List().GetNextSelectedItem(-1), -1);
    binding->Select(2);
    binding->Select(1);
    EXPECT_EQ(List().GetNextSelectedItem(-1), 1);
    EXPECT_EQ(List().GetNextSelectedItem(1), 2);
    EXPECT_EQ(List().GetNextSelectedItem(2), -1);
}

TEST_P(AddressListModel, EveryRowIsReportedBeforeItGoes) {
    // The fixture's removal handler reads each row's text and check box as it is reported.
    auto fill = [this] {
        removals.clear();
        for (const char* text : {"c", "b", "a"}) List().InsertItem(0, text);
        List().SetCheck(1, true);
    };
    fill();
    List().DeleteItem(1);
    ASSERT_EQ(removals.size(), 1u);
    EXPECT_EQ(removals[0].address, "b");
    EXPECT_TRUE(removals[0].checked);

    for (bool closing : {false, true}) {
        SCOPED_TRACE(closing ? "window closed" : "all removed");
        List().DeleteAllItems();
        fill();
        closing ? CloseWindow() : static_cast<void>(List().DeleteAllItems());
        EXPECT_EQ(List().GetItemCount(), 0);
        ASSERT_EQ(removals.size(), 3u);
        std::vector<std::string> seen;
        for (const Removal& removal : removals) {
            seen.push_back(removal.address);
            EXPECT_EQ(removal.checked, removal.address == "b");
        }
        std::sort(seen.begin(), seen.end());
        EXPECT_EQ(seen, (std::vector<std::string>{"a", "b", "c"}));
    }
}

HL_CONTRACT_SUITE(AddressListModel);

}  // namespace
}  // namespace hltest
