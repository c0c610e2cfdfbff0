#include "ContentsOracle.h"

#include <cstdio>
#include <map>

namespace e2e {

namespace {

// Only a 32-bit 1 is a check mark; an entry of another type or size is none.
bool IsCheckMark(const RegValue& entry) {
    return entry.type == REG_DWORD && entry.data == std::string("\x01\0\0\0", 4);
}

}  // namespace

std::vector<Row> ExpectedRows(const std::vector<RegValue>& key, const std::vector<RegValue>& profile) {
    std::map<std::string, bool> checked;  // a long list asks for every address
    for (const RegValue& entry : profile) checked.emplace(Folded(entry.name), IsCheckMark(entry));
    std::vector<Row> rows;
    for (auto value = key.rbegin(); value != key.rend(); ++value) {
        if (!hltest::Fits(*value, kProgramCodePage)) continue;
        const std::string url = ShownText(value->data);
        const auto found = checked.find(Folded(url));
        rows.push_back({url, value->name, found != checked.end() && found->second});
    }
    return rows;
}

testing::AssertionResult PrunedAsItMust(const std::vector<RegValue>& before, const std::vector<Row>& kept,
                                        const std::vector<RegValue>& after) {
    const std::vector<RegValue> expected = hltest::ExpectedKey(kept, before, kProgramCodePage);
    return SameItems(hltest::Sorted(after), hltest::Sorted(expected)) << " in the key after pruning";
}

testing::AssertionResult RememberedAsItMust(const std::vector<RegValue>& before,
                                            const std::vector<Row>& rows,
                                            const std::vector<RegValue>& after) {
    // Entries named alike but for case are one to the registry; rows of one
    // address share theirs, checked if any of them is.
    std::map<std::string, RegValue> expected;
    for (const RegValue& entry : before) expected.emplace(Folded(entry.name), entry);
    std::map<std::string, bool> marks;
    for (const Row& row : rows) marks[Folded(row.address)] |= row.checked;
    for (const auto& [address, checked] : marks) expected[address] = Dword("", checked);
    std::vector<RegValue> wanted, found;
    for (const auto& [name, entry] : expected) wanted.push_back({name, entry.type, entry.data});
    for (const RegValue& entry : after) found.push_back({Folded(entry.name), entry.type, entry.data});
    return SameItems(ByName(found), wanted) << " in the profile after closing";
}

std::vector<std::string> ExpectedListing(const std::vector<Row>& rows, const std::vector<unsigned long long>& lastTyped) {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        std::string when;
        const unsigned long long time = i < lastTyped.size() ? lastTyped[i] : 0;
        SYSTEMTIME utc{};
        const FILETIME stamp{static_cast<DWORD>(time), static_cast<DWORD>(time >> 32)};
        if (time && FileTimeToSystemTime(&stamp, &utc)) {
            char text[32];
            std::snprintf(text, sizeof text, "%04u-%02u-%02uT%02u:%02u:%02uZ", utc.wYear, utc.wMonth, utc.wDay,
                          utc.wHour, utc.wMinute, utc.wSecond);
            when = text;
        }
        lines.push_back(std::string(rows[i].checked ? "1" : "0") + '\t' + rows[i].name + '\t' + rows[i].address +
                        '\t' + when);
    }
    return lines;
}

std::vector<std::string> LinesOf(const std::string& output) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = output.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(output.substr(start, end - start));
    if (start < output.size()) lines.push_back("unended: " + output.substr(start));
    return lines;
}

}  // namespace e2e
