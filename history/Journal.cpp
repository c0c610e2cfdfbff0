// The journal of a rewrite, written before the rewrite touches the browser's keys
// and removed once both are saved. What it promises: a process that ends at any
// moment of a rewrite leaves the keys as they were before it or as it meant to
// leave them, and what the browser or the user wrote or deleted since stays so.
//
// The rules of recovery, one for each state of the journal, each a branch of RecoverFromJournal:
//   absent      no rewrite was cut off: nothing to do.
//   torn        the journal itself was cut off before its Complete mark, so the
//               rewrite never began: it goes.
//   saved       the rewrite finished and only the journal's removal was cut
//               off: it goes, and nothing is undone.
//   complete    the rewrite may have been cut off. If both keys hold what it
//               meant to leave, under every name the browser has not written
//               since, and what it meant to leave under a name the browser took
//               is somewhere, it finished; otherwise what it changed is put back. A key
//               the browser has deleted since stays deleted, and an address whose
//               name the browser has taken comes back under a free one. How many
//               values the rewrite had emptied is recorded before anything is put
//               back, for a recovery cut off half way cannot tell it again. Then the
//               journal goes; while anything fails it stays, for the next try.
//   unreadable  nobody can tell what it would put back: it stays, and no pruning
//               runs over it (a pruning's journal would take its place).
#include "Journal.h"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <string>

#include "ProgramNames.h"
#include "ScopedKey.h"

namespace hl {

namespace {

// Written last: its presence says every part before it is there. It holds the number of parts.
constexpr char16_t kCompleteName[] = u"Complete";
// Written once both keys are saved: nothing is left to put back.
constexpr char16_t kSavedName[] = u"Saved";
// Written by the first recovery before it changes anything: how many values the
// rewrite had emptied, which a recovery cut off half way could no longer tell.
constexpr char16_t kEmptiedName[] = u"Emptied";
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
                out += NameBytes(value.name);
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
                value.name = UnitsOf(name);
                values->push_back(std::move(value));
            }
        }
        keys.push_back(std::move(key));
    }
    return in.AtEnd();
}

// One name of a journaled key: what the rewrite found there, what it meant to
// leave, and what is there now (null for no value).
struct Slot {
    std::u16string name;  // as the registry compares it
    const StoredValue* before = nullptr;
    const StoredValue* after = nullptr;
    bool present = false;
    StoredValue now;
    // What the rewrite meant to leave is here, but with a stamp neither it found nor meant:
    // the browser typed that address under this name since.
    bool typedSince = false;
    // What the rewrite found here the browser holds now under a name of its own (typed
    // again, and moved): putting it back here too would list it twice.
    bool typedElsewhere = false;

    bool Holds(const StoredValue* value) const { return value ? present && SameContents(now, *value) : !present; }
    // The same, spelt the same.
    bool Is(const StoredValue* value) const { return Holds(value) && (!present || now.name == value->name); }
    // The rewrite's doing: the value it found, the one it meant, or none while it moved them.
    bool Ours() const { return !typedSince && (!present || Holds(before) || Holds(after)); }
};
using Slots = std::vector<Slot>;  // one a name, in the order of their names

// The slot of a name as the registry compares it, or null.
template <typename SlotList>
auto Find(SlotList& slots, const std::u16string& folded) -> decltype(slots.data()) {
    const auto slot = std::lower_bound(slots.begin(), slots.end(), folded,
                                       [](const Slot& s, const std::u16string& name) { return s.name < name; });
    return slot != slots.end() && slot->name == folded ? &*slot : nullptr;
}

// What a journaled key holds now under each of its names, and under those of `also`.
// False when it could not be read; exists says whether the key is there at all. Lost:
// the values the rewrite meant to leave under a name the browser has taken since, and
// that are nowhere else in the key: the rewrite cannot be taken for finished without them.
bool ReadSlots(IRegistry& registry, const KeyContents& contents, const KeyContents* also, Slots& slots, bool& exists,
               bool& lost, std::vector<StoredValue>& now) {
    lost = false;
    for (const KeyContents* names : {&contents, also ? also : &contents})
        for (const std::vector<StoredValue>* values : {&names->before, &names->after})
            for (const StoredValue& value : *values) slots.push_back({FoldedName(value.name), nullptr, nullptr, false, {}});
    std::sort(slots.begin(), slots.end(), [](const Slot& a, const Slot& b) { return a.name < b.name; });
    slots.erase(std::unique(slots.begin(), slots.end(), [](const Slot& a, const Slot& b) { return a.name == b.name; }),
                slots.end());
    for (const StoredValue& value : contents.before) Find(slots, FoldedName(value.name))->before = &value;
    for (const StoredValue& value : contents.after) Find(slots, FoldedName(value.name))->after = &value;
    ScopedKey key(registry);
    const long opened = key.Open(PathOf(contents.key));
    exists = opened == kErrorSuccess;
    if (opened == kErrorFileNotFound) return true;
    if (opened != kErrorSuccess || !ReadAllValues(registry, key.get(), now)) return false;
    for (const StoredValue& value : now) {
        Slot* slot = Find(slots, FoldedName(value.name));
        if (!slot) continue;  // the browser's alone
        slot->present = true;
        slot->now = value;
    }
    for (const Slot& slot : slots) {
        const StoredValue* meant = slot.after;
        lost = lost || (meant && !slot.Ours() && std::none_of(now.begin(), now.end(), [meant](const StoredValue& value) {
                            return SameContents(value, *meant);
                        }));
    }
    return true;
}

// Puts back, name by name, the values the rewrite had changed, and leaves alone
// the values written since.
bool PutBack(IRegistry& registry, RegHandle key, const Slots& slots) {
    bool done = true;
    for (const Slot& slot : slots) {
        if (!slot.Ours() || (slot.Is(slot.before) && !slot.typedElsewhere)) continue;
        // A name spelt otherwise goes first, so that the value comes back spelt as it was.
        if (slot.present && (!slot.before || slot.now.name != slot.before->name || slot.typedElsewhere)) {
            const long deleted = registry.RegDeleteValueW(key, slot.now.name.c_str());
            done = (deleted == kErrorSuccess || deleted == kErrorFileNotFound) && done;
        }
        if (slot.before && !slot.typedElsewhere) done = StoreValue(registry, key, *slot.before) == kErrorSuccess && done;
    }
    return done;
}

// How many of the values the rewrite found it may have emptied, in the order it
// empties them (all go before any new one is stored). The first one that still
// holds what the rewrite found was never reached: a name past it that the
// browser holds now still held the rewrite's value when the browser chose to
// write over it.
std::size_t Emptied(const KeyContents& contents, const Slots& slots) {
    for (const Slot& slot : slots)
        if (slot.after && slot.Ours() && slot.Holds(slot.after) && !slot.Holds(slot.before)) return contents.before.size();
    std::size_t emptied = 0;
    for (; emptied < contents.before.size(); ++emptied) {
        const StoredValue& found = contents.before[emptied];
        const Slot& slot = *Find(slots, FoldedName(found.name));
        // A value the rewrite stores back as it found it looks the same reached or not: it tells nothing.
        const bool unchanged = slot.after && slot.after->name == found.name && SameContents(*slot.after, found);
        if (slot.Is(&found) && !unchanged) break;
    }
    return emptied;
}

// An address the rewrite had emptied, whose name the browser has taken since, and
// that is nowhere else in the key now, would be lost: it comes back under a name
// free in both keys, with the stamp it had. One that a recovery cut off half way
// brought back already has its stamp follow it now, if it has none.
bool Rehome(IRegistry& registry, const KeyContents& contents, std::size_t emptied, RegHandle typed,
            const Slots& typedSlots, RegHandle times, const Slots* timeSlots) {
    std::vector<StoredValue> now, stamps;
    if (!ReadAllValues(registry, typed, now) || (times && !ReadAllValues(registry, times, stamps))) return false;
    unsigned long highest = 0;
    for (const std::vector<StoredValue>* values : {&now, &stamps})
        for (const StoredValue& value : *values) highest = std::max(highest, UrlNumber(value.name));
    const auto stamped = [&](const std::u16string& name) {
        return std::any_of(stamps.begin(), stamps.end(),
                           [&](const StoredValue& value) { return FoldedName(value.name) == FoldedName(name); });
    };
    bool done = true;
    for (std::size_t i = 0; i < emptied && i < contents.before.size(); ++i) {
        const std::u16string folded = FoldedName(contents.before[i].name);
        const Slot& slot = *Find(typedSlots, folded);
        if (slot.Ours()) continue;
        // Elsewhere: typed again under a name of the browser's. Another copy the rewrite found
        // under a name of its own is not this one moved: the key held the address twice.
        const auto elsewhere = std::find_if(now.begin(), now.end(), [&](const StoredValue& value) {
            const Slot* copy = Find(typedSlots, FoldedName(value.name));
            return SameContents(value, *slot.before) && !(copy && copy->before && SameContents(*copy->before, *slot.before));
        });
        StoredValue moved = *slot.before;
        if (elsewhere != now.end()) {
            moved.name = elsewhere->name;
        } else {
            moved.name = Widened(kUrlValuePrefix + std::to_string(++highest));
            done = StoreValue(registry, typed, moved) == kErrorSuccess && done;
            now.push_back(moved);
        }
        const Slot* stamp = timeSlots ? Find(*timeSlots, folded) : nullptr;
        if (!times || !stamp || !stamp->before || stamped(moved.name)) continue;
        // Its stamp goes with it; the one under the old name is the browser's, or goes too.
        StoredValue movedStamp = *stamp->before;
        movedStamp.name = moved.name;
        done = StoreValue(registry, times, movedStamp) == kErrorSuccess && done;
        for (const StoredValue& value : stamps)
            if (FoldedName(value.name) == folded && SameContents(value, movedStamp)) {
                const long deleted = registry.RegDeleteValueW(times, value.name.c_str());
                done = (deleted == kErrorSuccess || deleted == kErrorFileNotFound) && done;
            }
        stamps.push_back(movedStamp);
    }
    return done;
}

// How many values the rewrite had emptied, as the first recovery told from the keys
// before it put anything back: once a recovery has put some back, the keys no longer
// tell. False when it could be neither read nor recorded.
bool EmptiedOnce(IRegistry& registry, const KeyContents& contents, const Slots& slots, std::size_t& emptied) {
    ScopedKey key(registry);
    if (key.Open(kJournalKey) != kErrorSuccess) return false;
    std::string value;
    unsigned long type = kRegNone;
    std::uint32_t count = 0;
    const long read = QueryValue(registry, key.get(), kEmptiedName, type, value);
    if (read == kErrorSuccess && type == kRegDword && value.size() == 4 && Reader(value).Number(count)) {
        emptied = count;
        return true;
    }
    if (read != kErrorFileNotFound) return false;
    emptied = Emptied(contents, slots);
    count = static_cast<std::uint32_t>(emptied);
    return registry.RegSetValueExW(key.get(), kEmptiedName, 0, kRegDword, reinterpret_cast<const unsigned char*>(&count),
                                   sizeof count) == kErrorSuccess;
}

// Marks the addresses' slots where the browser typed since: a name holding what the rewrite
// meant but stamped anew, and a value the rewrite found that the browser holds under a name
// of its own. Each copy the browser holds stands for one value the rewrite found: a key
// that held an address twice keeps the other.
void NoteWhatTheBrowserTyped(Slots& typed, const std::vector<StoredValue>& now, Slots* stamps) {
    for (Slot& slot : typed) {
        const Slot* stamp = stamps ? Find(*stamps, slot.name) : nullptr;
        slot.typedSince = slot.present && slot.Holds(slot.after) && !slot.Holds(slot.before) && stamp &&
                          stamp->present && !stamp->Ours();
    }
    std::vector<const StoredValue*> browsers;
    for (const StoredValue& value : now) {
        const Slot* at = Find(typed, FoldedName(value.name));
        if (!at || !at->Ours()) browsers.push_back(&value);
    }
    for (Slot& slot : typed) {
        if (!slot.before || !slot.Ours() || slot.Holds(slot.before)) continue;
        const auto copy = std::find_if(browsers.begin(), browsers.end(), [&](const StoredValue* value) {
            return value && SameContents(*value, *slot.before);
        });
        if (copy == browsers.end()) continue;
        *copy = nullptr;
        slot.typedElsewhere = true;
        if (Slot* stamp = stamps ? Find(*stamps, slot.name) : nullptr) stamp->typedElsewhere = true;  // it went with it
    }
}

enum class State { Absent, Torn, Complete, Saved, Unreadable };

// Which state the journal is in, and for a complete one what it holds.
State ReadState(IRegistry& registry, std::vector<KeyContents>& keys) {
    ScopedKey key(registry);
    const long opened = key.Open(kJournalKey);
    if (opened == kErrorFileNotFound) return State::Absent;
    if (opened != kErrorSuccess) return State::Unreadable;
    std::string value;
    unsigned long type = kRegNone;
    const long saved = QueryValue(registry, key.get(), kSavedName, type, value);
    if (saved == kErrorSuccess) return State::Saved;
    if (saved != kErrorFileNotFound) return State::Unreadable;
    const long complete = QueryValue(registry, key.get(), kCompleteName, type, value);
    if (complete == kErrorFileNotFound) return State::Torn;
    std::uint32_t parts = 0;
    if (complete != kErrorSuccess || type != kRegDword || value.size() != 4 || !Reader(value).Number(parts))
        return State::Unreadable;
    std::string bytes;
    for (std::uint32_t part = 1; part <= parts; ++part) {
        std::string data;
        if (QueryValue(registry, key.get(), Widened(std::to_string(part)), type, data) != kErrorSuccess ||
            type != kRegBinary)
            return State::Unreadable;
        bytes += data;
    }
    return Parsed(bytes, keys) ? State::Complete : State::Unreadable;
}

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

}  // namespace

bool SaveJournaled(IRegistry& registry, const std::vector<KeyContents>& keys, bool& journalKept) {
    journalKept = false;
    if (!WriteJournal(registry, keys)) return false;  // nothing has been changed yet
    // Each key is emptied value by value rather than deleted and made again: a key
    // that was deleted and then could not be created would take every address with
    // it. Its subkeys, if any, stay. The keys are saved together or put back
    // together, so that no address carries another's stamp.
    std::deque<ScopedKey> open;
    std::size_t touched = 0;
    bool saved = true;
    for (const KeyContents& contents : keys) {
        ScopedKey& key = open.emplace_back(registry);
        // The typed addresses' key is made again if it went; the stamps only where they were.
        const long result = contents.key == JournaledKey::TypedUrls ? key.Create(PathOf(contents.key))
                                                                    : key.Open(PathOf(contents.key));
        saved = result == kErrorSuccess;
        if (!saved) break;
        ++touched;
        saved = ReplaceValues(registry, key.get(), contents.before, contents.after);
        if (!saved) break;
    }
    bool back = true;
    for (std::size_t k = 0; !saved && k < touched; ++k)
        back = ReplaceValues(registry, open[k].get(), keys[k].after, keys[k].before) && back;
    for (ScopedKey& key : open) key.Close();
    if (saved) {
        CloseJournal(registry);  // nothing left to put back
        return true;
    }
    // Put back; if even that fails the journal stays, for the next start.
    if (back) RemoveJournal(registry);
    journalKept = !back;
    return false;
}

bool RemoveJournal(IRegistry& registry) {
    // Whole: a key below the journal must not keep it, to be put back at every start.
    const long result = registry.RegDeleteTreeA(kJournalKey);
    return result == kErrorSuccess || result == kErrorFileNotFound;
}

Recovery RecoverFromJournal(IRegistry& registry) {
    std::vector<KeyContents> keys;
    switch (ReadState(registry, keys)) {
    case State::Absent:
        return Recovery::Clear;
    case State::Unreadable:
        return Recovery::Unreadable;
    case State::Torn:
    case State::Saved:
        break;
    case State::Complete: {
        std::vector<Slots> slots(keys.size());
        std::vector<std::vector<StoredValue>> now(keys.size());
        std::vector<char> exists(keys.size());
        bool finished = true;
        // The stamps' key has a slot for every name of the addresses' key, so that a stamp
        // the browser wrote since under any of them shows.
        const auto typedAt = std::find_if(keys.begin(), keys.end(), [](const KeyContents& key) { return key.key == JournaledKey::TypedUrls; });
        const KeyContents* typedNames = typedAt == keys.end() ? nullptr : &*typedAt;
        for (std::size_t k = 0; k < keys.size(); ++k) {
            bool there = false, lost = false;
            const KeyContents* also = keys[k].key == JournaledKey::TypedUrlsTime ? typedNames : nullptr;
            if (!ReadSlots(registry, keys[k], also, slots[k], there, lost, now[k])) return Recovery::Kept;
            exists[k] = there;
            finished = finished && !lost;
        }
        Slots* stamps = nullptr;
        for (std::size_t k = 0; k < keys.size(); ++k)
            if (keys[k].key == JournaledKey::TypedUrlsTime && exists[k]) stamps = &slots[k];
        for (std::size_t k = 0; k < keys.size(); ++k)
            if (keys[k].key == JournaledKey::TypedUrls) NoteWhatTheBrowserTyped(slots[k], now[k], stamps);
        for (std::size_t k = 0; k < keys.size(); ++k)
            for (const Slot& slot : slots[k])
                finished = finished && (!exists[k] || slot.Holds(slot.after) || !slot.Ours());
        if (finished) break;
        std::size_t emptied = 0;
        for (std::size_t k = 0; k < keys.size(); ++k)
            if (exists[k] && keys[k].key == JournaledKey::TypedUrls && !EmptiedOnce(registry, keys[k], slots[k], emptied))
                return Recovery::Kept;
        ScopedKey typedKey(registry), timesKey(registry);
        const KeyContents* typedContents = nullptr;
        const Slots* typed = nullptr;
        const Slots* times = nullptr;
        bool restored = true;
        for (std::size_t k = 0; k < keys.size(); ++k) {
            if (!exists[k]) continue;
            const bool isTyped = keys[k].key == JournaledKey::TypedUrls;
            ScopedKey& key = isTyped ? typedKey : timesKey;
            if (key.Open(PathOf(keys[k].key)) != kErrorSuccess) return Recovery::Kept;
            restored = PutBack(registry, key.get(), slots[k]) && restored;
            (isTyped ? typed : times) = &slots[k];
            if (isTyped) typedContents = &keys[k];
        }
        if (restored && typed) restored = Rehome(registry, *typedContents, emptied, typedKey.get(), *typed, timesKey.get(), times);
        if (!restored) return Recovery::Kept;
        break;
    }
    }
    return RemoveJournal(registry) ? Recovery::Clear : Recovery::Kept;
}

}  // namespace hl
