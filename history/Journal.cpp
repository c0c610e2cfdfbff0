#include "Journal.h"

#include <cstdint>
#include <map>
#include <string>

#include "ProductNames.h"
#include "ScopedKey.h"

namespace hl {

namespace {

// Written last: its presence says every part before it is there. It holds the number of parts.
constexpr char16_t kCompleteName[] = u"Complete";
// Written once both keys are saved: nothing is left to put back.
constexpr char16_t kSavedName[] = u"Saved";
// Parts are kept well under the size at which the registry advises against a value.
constexpr std::size_t kPartSize = 256 * 1024;
constexpr std::uint32_t kMagic = 0x324A4C48;  // "HLJ2"

const char* PathOf(JournaledKey key) {
    return key == JournaledKey::TypedUrls ? kTypedUrlsKey : kTypedUrlsTimeKey;
}

void Put(std::string& out, std::uint32_t number) {
    for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((number >> shift) & 0xFF);
}

// Little-endian, whatever the machine: a journal must read back on the machine that wrote it, but
// nothing is lost by making it plain.
std::string Serialized(const std::vector<KeyContents>& keys) {
    std::string out;
    Put(out, kMagic);
    Put(out, static_cast<std::uint32_t>(keys.size()));
    for (const KeyContents& key : keys) {
        Put(out, static_cast<std::uint32_t>(key.key));
        for (const std::vector<StoredValue>* values : {&key.before, &key.after}) {
            Put(out, static_cast<std::uint32_t>(values->size()));
            for (const StoredValue& value : *values) {
                Put(out, static_cast<std::uint32_t>(value.type));
                Put(out, static_cast<std::uint32_t>(value.name.size()));
                Put(out, static_cast<std::uint32_t>(value.data.size()));
                for (char16_t c : value.name) {
                    out += static_cast<char>(c & 0xFF);
                    out += static_cast<char>(c >> 8);
                }
                out += value.data;
            }
        }
    }
    return out;
}

class Reader {
public:
    explicit Reader(const std::string& bytes) : m_bytes(bytes) {}
    bool Number(std::uint32_t& number) {
        if (m_bytes.size() - m_at < 4) return false;
        number = 0;
        for (int i = 0; i < 4; ++i)
            number |= static_cast<std::uint32_t>(static_cast<unsigned char>(m_bytes[m_at + i])) << (8 * i);
        m_at += 4;
        return true;
    }
    bool Bytes(std::size_t count, std::string& out) {
        if (m_bytes.size() - m_at < count) return false;
        out.assign(m_bytes, m_at, count);
        m_at += count;
        return true;
    }
    bool AtEnd() const { return m_at == m_bytes.size(); }

private:
    const std::string& m_bytes;
    std::size_t m_at = 0;
};

// A journal that does not read back whole is not put back: a key restored from
// half of one would lose what the other half held.
bool Parsed(const std::string& bytes, std::vector<KeyContents>& keys) {
    Reader in(bytes);
    std::uint32_t magic = 0, count = 0;
    if (!in.Number(magic) || magic != kMagic || !in.Number(count) || count > 2) return false;
    for (std::uint32_t k = 0; k < count; ++k) {
        std::uint32_t id = 0;
        if (!in.Number(id) || id > 1) return false;
        KeyContents key{static_cast<JournaledKey>(id), {}, {}};
        for (std::vector<StoredValue>* values : {&key.before, &key.after}) {
            std::uint32_t count = 0;
            if (!in.Number(count)) return false;
            for (std::uint32_t v = 0; v < count; ++v) {
                StoredValue value;
                std::uint32_t type = 0, nameLength = 0, dataSize = 0;
                std::string name;
                if (!in.Number(type) || !in.Number(nameLength) || !in.Number(dataSize) ||
                    !in.Bytes(std::size_t{nameLength} * 2, name) || !in.Bytes(dataSize, value.data))
                    return false;
                value.type = type;
                for (std::size_t i = 0; i < name.size(); i += 2)
                    value.name += static_cast<char16_t>(static_cast<unsigned char>(name[i]) |
                                                        static_cast<unsigned char>(name[i + 1]) << 8);
                values->push_back(std::move(value));
            }
        }
        keys.push_back(std::move(key));
    }
    return in.AtEnd();
}

// A value's name as the registry compares it. Our own names are url<number>, the
// others the browser's own, which the registry tells apart: folding ASCII is enough.
std::u16string Folded(std::u16string name) {
    for (char16_t& c : name)
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    return name;
}

// One name of a journaled key: what the rewrite found there, what it meant to
// leave, and what is there now (null for no value).
struct Slot {
    const StoredValue* before = nullptr;
    const StoredValue* after = nullptr;
    bool present = false;
    StoredValue now;

    bool Holds(const StoredValue* value) const { return value ? present && SameContents(now, *value) : !present; }
    // The same, spelt the same.
    bool Is(const StoredValue* value) const { return Holds(value) && (!present || now.name == value->name); }
    // The rewrite's doing: the value it found, the one it meant, or none while it moved them.
    bool Ours() const { return !present || Holds(before) || Holds(after); }
};

// What a journaled key holds now under each of its names; false when it could not be read.
bool ReadSlots(IRegistry& registry, const KeyContents& contents, std::map<std::u16string, Slot>& slots) {
    for (const StoredValue& value : contents.before) slots[Folded(value.name)].before = &value;
    for (const StoredValue& value : contents.after) slots[Folded(value.name)].after = &value;
    ScopedKey key(registry);
    const long opened = key.Open(PathOf(contents.key));
    if (opened == kErrorFileNotFound) return true;
    std::vector<StoredValue> now;
    if (opened != kErrorSuccess || !ReadAllValues(registry, key.get(), now)) return false;
    for (StoredValue& value : now) {
        auto slot = slots.find(Folded(value.name));
        if (slot == slots.end()) continue;  // the browser's alone
        slot->second.present = true;
        slot->second.now = std::move(value);
    }
    return true;
}

// Puts back, name by name, the values the rewrite had changed, and leaves alone
// the values written since.
bool PutBack(IRegistry& registry, JournaledKey which, const std::map<std::u16string, Slot>& slots) {
    ScopedKey key(registry);
    bool done = true;
    for (const auto& [folded, slot] : slots) {
        if (!slot.Ours() || slot.Is(slot.before)) continue;
        if (!key && key.Create(PathOf(which)) != kErrorSuccess) return false;
        // A name spelt otherwise goes first, so that the value comes back spelt as it was.
        if (slot.present && (!slot.before || slot.now.name != slot.before->name)) {
            const long deleted = registry.RegDeleteValueW(key.get(), slot.now.name.c_str());
            done = (deleted == kErrorSuccess || deleted == kErrorFileNotFound) && done;
        }
        if (slot.before) done = StoreValue(registry, key.get(), *slot.before) == kErrorSuccess && done;
    }
    return done;
}

}  // namespace

bool WriteJournal(IRegistry& registry, const std::vector<KeyContents>& keys) {
    // No journal is here to be overwritten: a pruning begins by putting back any that was.
    const std::string bytes = Serialized(keys);
    ScopedKey key(registry);
    bool written = key.Create(kJournalKey) == kErrorSuccess;
    std::uint32_t parts = 0;
    for (std::size_t at = 0; written && at < bytes.size(); at += kPartSize) {
        const std::string part = bytes.substr(at, kPartSize);
        written = registry.RegSetValueExW(key.get(), Widened(std::to_string(++parts)).c_str(), 0, kRegBinary,
                                          reinterpret_cast<const unsigned char*>(part.data()),
                                          static_cast<unsigned long>(part.size())) == kErrorSuccess;
    }
    written = written && registry.RegSetValueExW(key.get(), kCompleteName, 0, kRegDword,
                                                 reinterpret_cast<const unsigned char*>(&parts),
                                                 sizeof parts) == kErrorSuccess;
    key.Close();
    if (!written) RemoveJournal(registry);
    return written;
}

void CloseJournal(IRegistry& registry) {
    ScopedKey key(registry);
    if (key.Open(kJournalKey) == kErrorSuccess) {
        const std::uint32_t saved = 1;
        // Should the removal fail, the mark keeps the next start from undoing a finished pruning.
        registry.RegSetValueExW(key.get(), kSavedName, 0, kRegDword, reinterpret_cast<const unsigned char*>(&saved),
                                sizeof saved);
    }
    key.Close();
    RemoveJournal(registry);
}

bool RemoveJournal(IRegistry& registry) {
    // Whole: a key below the journal must not keep it, to be put back at every start.
    const long result = registry.RegDeleteTreeA(kJournalKey);
    return result == kErrorSuccess || result == kErrorFileNotFound;
}

bool RecoverFromJournal(IRegistry& registry) {
    ScopedKey key(registry);
    const long opened = key.Open(kJournalKey);
    if (opened == kErrorFileNotFound) return true;
    if (opened != kErrorSuccess) return false;
    std::string value;
    unsigned long type = kRegNone;
    const long saved = QueryValue(registry, key.get(), kSavedName, type, value);
    const long complete = QueryValue(registry, key.get(), kCompleteName, type, value);
    // A journal that cannot be read now may be readable at the next try.
    if ((saved != kErrorSuccess && saved != kErrorFileNotFound) ||
        (complete != kErrorSuccess && complete != kErrorFileNotFound))
        return false;
    std::uint32_t parts = 0;
    bool whole = saved == kErrorFileNotFound && complete == kErrorSuccess && type == kRegDword &&
                 value.size() == 4 && Reader(value).Number(parts);
    std::string bytes;
    for (std::uint32_t part = 1; whole && part <= parts; ++part) {
        std::string data;
        const long found = QueryValue(registry, key.get(), Widened(std::to_string(part)), type, data);
        if (found != kErrorSuccess && found != kErrorFileNotFound) return false;
        whole = found == kErrorSuccess && type == kRegBinary;
        bytes += data;
    }
    key.Close();

    // Complete and whole: the rewrite may have been cut off. If both keys hold
    // what it meant to leave, under every name the browser has not written since,
    // it finished; otherwise what it changed is put back.
    std::vector<KeyContents> keys;
    if (whole && Parsed(bytes, keys)) {
        std::vector<std::map<std::u16string, Slot>> slots(keys.size());
        bool finished = true;
        for (std::size_t k = 0; k < keys.size(); ++k) {
            if (!ReadSlots(registry, keys[k], slots[k])) return false;
            for (const auto& [folded, slot] : slots[k]) finished = finished && (slot.Holds(slot.after) || !slot.Ours());
        }
        bool restored = true;
        for (std::size_t k = 0; !finished && k < keys.size(); ++k)
            restored = PutBack(registry, keys[k].key, slots[k]) && restored;
        if (!restored) return false;  // kept, to be tried again
    }
    return RemoveJournal(registry);
}

}  // namespace hl
