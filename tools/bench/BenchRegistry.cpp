#include "BenchRegistry.h"

#include "ProductNames.h"

#include <algorithm>
#include <cstdio>
#include <map>

namespace bench {

namespace {

bool RememberedChecked(int number) { return number % 2 == 0; }

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(::tolower(c)); });
    return text;
}

}  // namespace

std::string PlausibleAddress(int number) {
    char text[160];
    switch (number % 5) {
        case 0: std::snprintf(text, sizeof text, "http://www.example%d.com/", number); break;
        case 1:
            std::snprintf(text, sizeof text, "https://news.site%d.org/articles/2003/%02d/index.html",
                          number, number % 12 + 1);
            break;
        case 2: std::snprintf(text, sizeof text, "www.shop%d.net/catalog?item=%d&lang=en", number, number * 7); break;
        case 3: std::snprintf(text, sizeof text, "http://intranet/projects/%d/wiki/Main_Page", number); break;
        default: std::snprintf(text, sizeof text, "ftp://files%d.example.net/pub/", number); break;
    }
    return text;
}

void SeedTypedUrls(int count) {
    const drive::Registry registry;
    registry.DeleteTree(hl::kTypedUrlsKey);
    registry.DeleteTree(hl::kProfileKey);
    registry.CreateKey(hl::kTypedUrlsKey);
    for (int number = 1; number <= count; ++number) {
        const std::string address = PlausibleAddress(number);
        registry.Set(hl::kTypedUrlsKey, drive::Sz("url" + std::to_string(number), address));
        if (RememberedChecked(number)) registry.Set(hl::kSectionKey, drive::Dword(address, 1));
    }
}

PruneOutcome ReadOutcome() {
    const drive::Registry registry;
    return {registry.Values(hl::kTypedUrlsKey), registry.Values(hl::kSectionKey)};
}

std::string CheckOutcome(const PruneOutcome& outcome, int count) {
    std::map<std::string, std::string> key;  // name, data
    for (const drive::RegValue& value : outcome.key) {
        if (value.type != REG_SZ) return "the key holds " + value.name + " of another type";
        key[Lower(value.name)] = value.data;
    }
    std::map<std::string, int> kept;  // address, times seen
    for (int number = 1; number <= count; ++number)
        if (RememberedChecked(number)) kept[drive::SzData(PlausibleAddress(number))] = 0;
    if (key.size() != kept.size())
        return "the key holds " + std::to_string(key.size()) + " values, not " + std::to_string(kept.size());
    for (std::size_t number = 1; number <= key.size(); ++number) {
        const auto value = key.find("url" + std::to_string(number));
        if (value == key.end()) return "url" + std::to_string(number) + " is missing";
        const auto address = kept.find(value->second);
        if (address == kept.end() || address->second++ != 0)
            return "url" + std::to_string(number) + " holds an address that should not be there";
    }

    if (outcome.profile.size() != kept.size())
        return "the profile holds " + std::to_string(outcome.profile.size()) + " entries, not " +
               std::to_string(kept.size());
    for (const drive::RegValue& entry : outcome.profile)
        if (!(entry == drive::Dword(entry.name, 1)) || !kept.count(drive::SzData(entry.name)))
            return "the profile remembers " + entry.name + " wrongly";
    return std::string();
}

}  // namespace bench
