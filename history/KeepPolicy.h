// The organization's keep-list: addresses an administrator has Group Policy keep,
// whatever the user's check marks. Production reads it from the machine's and the
// user's policy key (win32/); tests give it from memory.
#pragma once

#include <string>
#include <vector>

namespace hl {

class IKeepPolicy {
public:
    // Every pattern of both policy keys as written, in no particular order. A
    // key that is not there has none. False when a key is there but it, or one
    // of its string values, cannot be read: what the organization keeps is not known.
    virtual bool ReadPatterns(std::vector<std::u16string>& patterns) = 0;

protected:
    ~IKeepPolicy() = default;
};

// The longest pattern that is one: an address holds at most 259 characters.
inline constexpr std::size_t kMaxPatternLength = 259;

// Whether the whole address matches the pattern: '*' stands for any run of
// characters, '?' for one. Letters compare without regard to case: A to Z, and
// the simple one-to-one upper and lower case pairs of Latin-1, Latin Extended-A,
// Greek and Cyrillic; the letters of other scripts compare as they are.
bool MatchesPattern(const std::u32string& pattern, const std::u32string& address);

// Text as characters: UTF-16 (unpaired surrogates stand for themselves) and
// UTF-8 (a byte that is no UTF-8 becomes U+FFFD, which only '?' and '*' match).
std::u32string CharactersOf(const std::u16string& text);
std::u32string CharactersOfUtf8(const std::string& text);

// The patterns in force, read when the list loads and again before a pruning.
class KeepList {
public:
    // Reads the patterns afresh; without a policy there are none. False, keeping
    // nothing, when the policy cannot be read. Empty patterns, and patterns too
    // long to be one, are left out.
    bool Read(IKeepPolicy* policy);
    bool Keeps(const std::u32string& address) const;
    bool Empty() const { return m_patterns.empty(); }

private:
    std::vector<std::u32string> m_patterns;
};

}  // namespace hl
