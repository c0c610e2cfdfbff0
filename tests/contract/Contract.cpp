#include "contract/Contract.h"

#include <algorithm>

#include "KeyValues.h"
#include "ScopedKey.h"

namespace hltest {

std::string BindingName(const testing::TestParamInfo<BindingKind>& info) { return info.param.name; }

std::vector<RegValue> ReadValues(hl::IRegistry& registry, const std::string& path, bool* exists) {
    bool complete = false;
    std::vector<RegValue> values = ReadKey(registry, path, exists, &complete);
    EXPECT_TRUE(complete) << "reading back " << path;
    return values;
}

void WriteValues(hl::IRegistry& registry, const std::string& path, const std::vector<RegValue>& values) {
    hl::ScopedKey key(registry);
    ASSERT_EQ(key.Create(path.c_str()), hl::kErrorSuccess);
    for (const RegValue& value : values)
        registry.RegSetValueExA(key.get(), value.name.c_str(), 0, value.type,
                                reinterpret_cast<const unsigned char*>(value.data.data()),
                                static_cast<unsigned long>(value.data.size()));
}

std::vector<WideValue> ReadWide(hl::IRegistry& registry, const std::string& path, bool* exists) {
    std::vector<WideValue> values;
    hl::ScopedKey key(registry);
    const bool opened = key.Open(path.c_str()) == hl::kErrorSuccess;
    if (exists) *exists = opened;
    std::vector<hl::StoredValue> stored;
    if (opened) {
        EXPECT_TRUE(hl::ReadAllValues(registry, key.get(), stored)) << "reading back " << path;
    }
    for (const hl::StoredValue& value : stored) values.push_back({value.name, value.type, value.data});
    return values;
}

void WriteWide(hl::IRegistry& registry, const std::string& path, const std::vector<WideValue>& values) {
    hl::ScopedKey key(registry);
    ASSERT_EQ(key.Create(path.c_str()), hl::kErrorSuccess);
    for (const WideValue& value : values)
        ASSERT_EQ(hl::StoreValue(registry, key.get(), {value.name, value.type, value.data}), hl::kErrorSuccess);
}

std::vector<RegValue> Remembered(const std::vector<Row>& kept) {
    std::vector<RegValue> entries;
    for (const Row& row : kept) entries.push_back(Dword(row.address, 1));
    return entries;
}

void Contract::SetUp() {
    binding = GetParam().make();
    Reset();
    binding->OnRemove([this](int row) {
        hl::RowNotice notice{row};
        std::intptr_t result = -1;
        (removalsTo ? *removalsTo : *history).OnDeleteItemList(&notice, &result);
        EXPECT_EQ(result, 0);
    });
}

void Contract::Reset() {
    if (faulty) {
        EXPECT_EQ(faulty->OpenHandles(), 0) << "a key opened by the program was left open";
        CloseWindow();
    }
    faulty = std::make_unique<FaultyRegistry>(binding->Registry());
    history = std::make_unique<History>(*faulty, binding->List(), shell);
    lock = binding->NewLock(kLockWaitMs);
    history->SetWriterLock(lock.get());
    history->SetKeepPolicy(&policy);
    shell.opened.clear();
}

void Contract::Load(const std::vector<RegValue>& values) {
    Raw().RegDeleteKeyA(hl::kTypedUrlsKey);
    WriteValues(Raw(), hl::kTypedUrlsKey, values);
    history->FillList();
}

void Contract::SetChecks(const std::vector<bool>& checks) {
    ASSERT_EQ(static_cast<int>(checks.size()), List().GetItemCount());
    for (std::size_t row = 0; row < checks.size(); ++row) List().SetCheck(static_cast<int>(row), checks[row]);
}

void Contract::KeepAllBut(int column, const std::vector<std::string>& texts) {
    history->OnCheckAll();
    for (int row = 0; row < List().GetItemCount(); ++row)
        if (std::count(texts.begin(), texts.end(), List().GetItemText(row, column))) List().SetCheck(row, false);
}

std::vector<Row> RowsOf(hl::IAddressList& list) {
    std::vector<Row> rows;
    for (int row = 0; row < list.GetItemCount(); ++row)
        rows.push_back({list.GetItemText(row, 0), list.GetItemText(row, 1), list.GetCheck(row)});
    return rows;
}

std::vector<Row> Contract::Kept() {
    std::vector<Row> kept = Rows();
    kept.erase(std::remove_if(kept.begin(), kept.end(), [](const Row& row) { return !row.checked; }), kept.end());
    return kept;
}

std::vector<bool> Contract::Checks() {
    std::vector<bool> checks;
    for (const Row& row : Rows()) checks.push_back(row.checked);
    return checks;
}

}  // namespace hltest
