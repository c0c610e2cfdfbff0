#include "ContentsOracle.h"

#include <cstdio>
#include <map>
#include <sstream>

namespace e2e {

namespace {

// Only a 32-bit 1 is a check mark; an entry of another type or size is none.
bool IsCheckMark(const RegValue& entry) {
    return entry.type == REG_DWORD && entry.data == std::string("\x01\0\0\0", 4);
}

std::string Describe(const RegValue& value) {
    std::ostringstream out;
    RegValue brief = value;
    if (brief.name.size() > 40) brief.name = brief.name.substr(0, 40) + "...(" + std::to_string(value.name.size()) + ")";
    if (brief.data.size() > 40) brief.data = brief.data.substr(0, 40) + "...(" + std::to_string(value.data.size()) + " bytes)";
    out << brief;
    return out.str();
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
    // Rows of one address share an entry; whichever goes last decides it.
    std::map<std::string, std::vector<bool>> states;
    for (const Row& row : rows) states[Folded(row.address)].push_back(row.checked);

    std::ostringstream faults;
    std::map<std::string, RegValue> left;
    for (const RegValue& entry : after) left.emplace(Folded(entry.name), entry);
    for (const auto& [url, checks] : states) {
        const auto found = left.find(url);
        if (found == left.end()) {
            faults << "\n  no entry for " << Describe(Sz("", url));
            continue;
        }
        const RegValue& entry = found->second;
        DWORD number = 0;
        if (entry.type != REG_DWORD || entry.data.size() != sizeof number) {
            faults << "\n  entry " << Describe(entry) << " is not a 32-bit integer";
        } else {
            std::copy(entry.data.begin(), entry.data.end(), reinterpret_cast<char*>(&number));
            const bool anyChecked = std::count(checks.begin(), checks.end(), true) > 0;
            const bool anyUnchecked = std::count(checks.begin(), checks.end(), false) > 0;
            if (number > 1 || (number == 1 && !anyChecked) || (number == 0 && !anyUnchecked))
                faults << "\n  entry " << Describe(entry) << " does not hold its row's check mark";
        }
        left.erase(found);
    }
    for (const RegValue& entry : before) {
        if (states.count(Folded(entry.name))) continue;
        const auto found = left.find(Folded(entry.name));
        if (found == left.end()) {
            faults << "\n  lost " << Describe(entry);
            continue;
        }
        if (!(found->second.type == entry.type && found->second.data == entry.data))
            faults << "\n  changed " << Describe(entry) << " into " << Describe(found->second);
        left.erase(found);
    }
    for (const auto& [name, entry] : left) faults << "\n  unexpected " << Describe(entry);

    if (faults.str().empty()) return testing::AssertionSuccess();
    return testing::AssertionFailure() << "the profile after closing:" << faults.str();
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
