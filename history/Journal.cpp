#include "Journal.h"

#include <cstdint>
#include <string>

#include "ProductNames.h"
#include "ScopedKey.h"

namespace hl {

namespace {

// Written last: its presence says every part before it is there. It holds the number of parts.
constexpr char16_t kCompleteName[] = u"Complete";
// Parts are kept well under the size at which the registry advises against a value.
constexpr std::size_t kPartSize = 256 * 1024;
constexpr std::uint32_t kMagic = 0x314A4C48;  // "HLJ1"

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
        Put(out, static_cast<std::uint32_t>(key.values.size()));
        for (const StoredValue& value : key.values) {
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
        std::uint32_t id = 0, values = 0;
        if (!in.Number(id) || id > 1 || !in.Number(values)) return false;
        KeyContents key{static_cast<JournaledKey>(id), {}};
        for (std::uint32_t v = 0; v < values; ++v) {
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
            key.values.push_back(std::move(value));
        }
        keys.push_back(std::move(key));
    }
    return in.AtEnd();
}

bool Query(IRegistry& registry, RegHandle key, const std::u16string& name, unsigned long type, std::string& data) {
    unsigned long found = kRegNone;
    return QueryValue(registry, key, name, found, data) && found == type;
}

bool PutBack(IRegistry& registry, const KeyContents& contents) {
    ScopedKey key(registry);
    std::vector<StoredValue> now;
    return key.Create(PathOf(contents.key)) == kErrorSuccess && ReadAllValues(registry, key.get(), now) &&
           ReplaceValues(registry, key.get(), now, contents.values);
}

}  // namespace

bool WriteJournal(IRegistry& registry, const std::vector<KeyContents>& keys) {
    RemoveJournal(registry);  // what an earlier run left, had it been complete, was put back at the start
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

void RemoveJournal(IRegistry& registry) {
    registry.RegDeleteKeyA(kJournalKey);  // a journal that will not go is put back again, harmlessly
}

void RecoverFromJournal(IRegistry& registry) {
    ScopedKey key(registry);
    if (key.Open(kJournalKey) != kErrorSuccess) return;
    std::string complete;
    std::string bytes;
    std::uint32_t parts = 0;
    bool whole = Query(registry, key.get(), kCompleteName, kRegDword, complete) && complete.size() == 4 &&
                 Reader(complete).Number(parts);
    for (std::uint32_t part = 1; whole && part <= parts; ++part) {
        std::string data;
        whole = Query(registry, key.get(), Widened(std::to_string(part)), kRegBinary, data);
        bytes += data;
    }
    key.Close();

    std::vector<KeyContents> keys;
    if (whole && Parsed(bytes, keys)) {
        bool restored = true;
        for (const KeyContents& contents : keys) restored = PutBack(registry, contents) && restored;
        if (!restored) return;  // kept, to be tried again at the next start
    }
    RemoveJournal(registry);
}

}  // namespace hl
