#include "ContentsOracle.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <sstream>

namespace e2e {

namespace {

constexpr std::size_t kMaxText = 259;

bool IsNumbered(const std::string& name) {
    return name.size() > 3 && Folded(name.substr(0, 3)) == "url" &&
           std::all_of(name.begin() + 3, name.end(), [](unsigned char c) { return std::isdigit(c) != 0; });
}

// The number of a name as the program writes them, url1, url2 and on; else 0.
std::size_t NumberGiven(const std::string& name) {
    if (name.size() < 4 || name.size() > 12 || name.compare(0, 3, "url") != 0 || name[3] == '0' ||
        !std::all_of(name.begin() + 3, name.end(), [](unsigned char c) { return std::isdigit(c) != 0; }))
        return 0;
    return std::stoul(name.substr(3));
}

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

std::string Folded(std::string name) {
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
    return name;
}

std::vector<std::string> UrlsOf(const std::vector<ListRow>& rows) {
    std::vector<std::string> urls;
    for (const ListRow& row : rows) urls.push_back(row.url);
    return urls;
}

bool Fits(const RegValue& value) { return value.name.size() <= kMaxText && value.data.size() <= kMaxText + 1; }

std::string ShownText(const std::string& data) {
    return data.substr(0, std::min(data.find('\0'), kMaxText));
}

std::vector<ListRow> ExpectedRows(const std::vector<RegValue>& key, const std::vector<RegValue>& profile) {
    std::map<std::string, bool> checked;  // a long list asks for every address
    for (const RegValue& entry : profile) checked.emplace(Folded(entry.name), IsCheckMark(entry));
    std::vector<ListRow> rows;
    for (auto value = key.rbegin(); value != key.rend(); ++value) {
        if (!Fits(*value)) continue;
        const std::string url = ShownText(value->data);
        const auto found = checked.find(Folded(url));
        rows.push_back({url, value->name, found != checked.end() && found->second});
    }
    return rows;
}

testing::AssertionResult PrunedAsItMust(const std::vector<RegValue>& before,
                                        const std::vector<std::string>& keptTopDown,
                                        const std::vector<RegValue>& after) {
    std::ostringstream faults;
    std::map<std::string, RegValue> left;
    for (const RegValue& value : after)
        if (!left.emplace(Folded(value.name), value).second) faults << "\n  two values named " << Describe(value);

    const std::size_t n = keptTopDown.size();
    for (std::size_t i = 0; i < n; ++i) {
        const std::string name = "url" + std::to_string(i + 1);
        const RegValue wanted = Sz(name, keptTopDown[i]);
        const auto found = left.find(name);
        if (found == left.end()) {
            faults << "\n  kept address " << Describe(Sz("", keptTopDown[i])) << " missing as " << name;
            continue;
        }
        if (found->second.type != REG_SZ || found->second.data != wanted.data)
            faults << "\n  " << name << " holds " << Describe(found->second) << ", not " << Describe(wanted);
        left.erase(found);
    }

    // The numbered ones the list could not show may have been numbered on after
    // the kept ones; every other one keeps its name.
    std::multimap<std::pair<DWORD, std::string>, std::string> renumbered;
    for (const RegValue& value : before) {
        if (Fits(value)) continue;
        if (IsNumbered(value.name)) {
            renumbered.emplace(std::make_pair(value.type, value.data), value.name);
            continue;
        }
        const auto found = left.find(Folded(value.name));
        if (found == left.end()) {
            faults << "\n  lost " << Describe(value);
        } else {
            if (found->second.type != value.type || found->second.data != value.data)
                faults << "\n  changed " << Describe(value) << " into " << Describe(found->second);
            left.erase(found);
        }
    }
    for (auto value = left.begin(); value != left.end();) {
        const RegValue& held = value->second;
        const auto match = renumbered.find({held.type, held.data});
        if (NumberGiven(held.name) > n && match != renumbered.end()) {
            renumbered.erase(match);
            value = left.erase(value);
        } else {
            ++value;
        }
    }
    for (const auto& [content, name] : renumbered)
        faults << "\n  lost " << Describe(RegValue{name, content.first, content.second});
    for (const auto& [name, value] : left) faults << "\n  should be gone: " << Describe(value);

    if (faults.str().empty()) return testing::AssertionSuccess();
    return testing::AssertionFailure() << "the key after pruning (" << n << " kept, " << after.size()
                                       << " values):" << faults.str();
}

testing::AssertionResult RememberedAsItMust(const std::vector<RegValue>& before,
                                            const std::vector<ListRow>& rows,
                                            const std::vector<RegValue>& after) {
    // Rows of one address share an entry; whichever goes last decides it.
    std::map<std::string, std::vector<bool>> states;
    for (const ListRow& row : rows) states[Folded(row.url)].push_back(row.checked);

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

}  // namespace e2e
