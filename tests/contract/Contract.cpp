#include "contract/Contract.h"

#include <algorithm>
#include <cctype>
#include <ostream>

#include "KeyValues.h"
#include "ScopedKey.h"

namespace hltest {

namespace {

std::string Printable(const std::string& bytes) {
    std::string out;
    for (unsigned char c : bytes.substr(0, 40)) {
        if (c >= 0x20 && c < 0x7f) {
            out += static_cast<char>(c);
        } else {
            static const char hex[] = "0123456789abcdef";
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    if (bytes.size() > 40) out += "...(" + std::to_string(bytes.size()) + " bytes)";
    return out;
}

}  // namespace

std::ostream& operator<<(std::ostream& out, const RawValue& value) {
    return out << "{" << Printable(value.name) << " type " << value.type << " \"" << Printable(value.data)
               << "\"}";
}

std::ostream& operator<<(std::ostream& out, const Row& row) {
    return out << "{" << Printable(row.address) << " [" << Printable(row.name) << "]"
               << (row.checked ? " checked" : "") << "}";
}

std::string BindingName(const testing::TestParamInfo<BindingKind>& info) { return info.param.name; }

RawValue Sz(const std::string& name, const std::string& text) { return {name, hl::kRegSz, text + '\0'}; }

std::string ShownText(const std::string& data) {
    return data.substr(0, std::min<std::size_t>(data.find('\0'), hl::kTextBuffer - 1));
}

bool Fits(const RawValue& value) {
    return value.name.size() < hl::kTextBuffer && value.data.size() <= hl::kTextBuffer;
}

std::vector<Row> RowsFor(const std::vector<RawValue>& enumerated) {
    std::vector<Row> rows;
    for (const RawValue& value : enumerated)
        if (Fits(value)) rows.insert(rows.begin(), Row{ShownText(value.data), value.name, false});
    return rows;
}

void Contract::SetUp() {
    binding = GetParam().make();
    Reset();
    binding->OnRemove([this](int row) {
        removals.push_back({List().GetItemText(row, 0), List().GetCheck(row)});
        hl::RowNotice notice{row};
        std::intptr_t result = -1;
        history->OnDeleteItemList(&notice, &result);
        EXPECT_EQ(result, 0);
    });
}

void Contract::Reset() {
    if (history) CloseWindow();
    faulty = std::make_unique<FaultyRegistry>(binding->Registry());
    history = std::make_unique<History>(*faulty, binding->List(), shell);
    removals.clear();
    shell.opened.clear();
}

void Contract::TearDown() {
    EXPECT_EQ(faulty->OpenHandles(), 0) << "a key opened by the program was left open";
    CloseWindow();
}

void Contract::SeedKey(const std::vector<RawValue>& values) {
    seeded = values;
    Raw().RegDeleteKeyA(hl::kTypedUrlsKey);
    WriteValues(Raw(), hl::kTypedUrlsKey, values);
}

void Contract::SeedSubkey(const std::string& name, const std::vector<RawValue>& values) {
    WriteValues(Raw(), std::string(hl::kTypedUrlsKey) + "\\" + name, values);
}

void Contract::SeedProfile(const RawValue& entry) { WriteValues(Raw(), hl::kSectionKey, {entry}); }

void Contract::Remember(const std::string& address, unsigned number) {
    SeedProfile({address, hl::kRegDword, std::string(reinterpret_cast<const char*>(&number), 4)});
}

std::vector<RawValue> ReadValues(hl::IRegistry& registry, const std::string& path, bool* exists) {
    std::vector<RawValue> values;
    hl::ScopedKey key(registry);
    const bool opened = key.Open(path.c_str()) == hl::kErrorSuccess;
    if (exists) *exists = opened;
    std::string name(1024, '\0'), data(4096, '\0');  // room for any value the tests write
    for (unsigned long index = 0; opened; ++index) {
        unsigned long nameLength = static_cast<unsigned long>(name.size());
        unsigned long dataLength = static_cast<unsigned long>(data.size());
        unsigned long type = 0;
        const long result = registry.RegEnumValueA(key.get(), index, &name[0], &nameLength, &type,
                                                   reinterpret_cast<unsigned char*>(&data[0]), &dataLength);
        if (result == hl::kErrorNoMoreItems) break;
        EXPECT_EQ(result, hl::kErrorSuccess) << "reading back " << path << " at " << index;
        if (result != hl::kErrorSuccess) break;
        values.push_back({name.substr(0, nameLength), type, data.substr(0, dataLength)});
    }
    return values;
}

void WriteValues(hl::IRegistry& registry, const std::string& path, const std::vector<RawValue>& values) {
    hl::ScopedKey key(registry);
    ASSERT_EQ(key.Create(path.c_str()), hl::kErrorSuccess);
    for (const RawValue& value : values)
        registry.RegSetValueExA(key.get(), value.name.c_str(), 0, value.type,
                                reinterpret_cast<const unsigned char*>(value.data.data()),
                                static_cast<unsigned long>(value.data.size()));
}

std::vector<RawValue> Contract::ReadKey(const std::string& path, bool* exists) {
    return ReadValues(Raw(), path, exists);
}

std::vector<std::string> Contract::EnumeratedNames(const std::string& path) {
    std::vector<std::string> names;
    for (const RawValue& value : ReadKey(path)) names.push_back(value.name);
    return names;
}

std::optional<unsigned> Contract::Remembered(const std::string& address) {
    for (const RawValue& entry : ReadKey(hl::kSectionKey)) {
        if (!hl::SameValueName(entry.name, address)) continue;
        if (entry.type != hl::kRegDword || entry.data.size() != 4) return 0xBADu;
        unsigned number = 0;
        std::copy(entry.data.begin(), entry.data.end(), reinterpret_cast<char*>(&number));
        return number;
    }
    return std::nullopt;
}

bool Contract::SectionExists() {
    bool exists = false;
    ReadKey(hl::kSectionKey, &exists);
    return exists;
}

std::vector<Row> Contract::Rows() {
    std::vector<Row> rows;
    for (int row = 0; row < List().GetItemCount(); ++row)
        rows.push_back({List().GetItemText(row, 0), List().GetItemText(row, 1), List().GetCheck(row)});
    return rows;
}

void Contract::Load(const std::vector<RawValue>& values) {
    SeedKey(values);
    history->FillList();
}

void Contract::SetChecks(const std::vector<bool>& checks) {
    ASSERT_EQ(static_cast<int>(checks.size()), List().GetItemCount());
    for (std::size_t row = 0; row < checks.size(); ++row) List().SetCheck(static_cast<int>(row), checks[row]);
}

std::string Contract::Address(const std::string& name) {
    for (const RawValue& value : seeded)
        if (value.name == name) return ShownText(value.data);
    ADD_FAILURE() << "no seeded value " << name;
    return std::string();
}

}  // namespace hltest
