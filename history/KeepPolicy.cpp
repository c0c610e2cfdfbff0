// The organization's keep-list: its patterns, and which rows they keep.
#include "KeepPolicy.h"

#include "TypedUrlHistory.h"

namespace hl {

namespace {

// One letter's lower case, for the scripts addresses are mostly written in; a
// pair that is not one-to-one (the dotted capital I, say) is left as it is.
char32_t Folded(char32_t c) {
    if ((c >= U'A' && c <= U'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x391 && c <= 0x3AB && c != 0x3A2) ||
        (c >= 0x410 && c <= 0x42F))
        return c + 32;
    if (c >= 0x400 && c <= 0x40F) return c + 80;
    // Latin Extended-A pairs capital and small side by side, the capital first, but the run from U+0139 to U+0148
    // and from U+0179 to U+017E starts one place later.
    if ((c >= 0x100 && c <= 0x12F) || (c >= 0x132 && c <= 0x137) || (c >= 0x14A && c <= 0x177))
        return c % 2 == 0 ? c + 1 : c;
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return c % 2 == 1 ? c + 1 : c;
    if (c == 0x178) return 0xFF;
    return c;
}

}  // namespace

bool MatchesPattern(const std::u32string& pattern, const std::u32string& address) {
    // After a mismatch the last '*' takes one character more; earlier ones need not, as it can take any run.
    std::size_t p = 0, a = 0, star = std::u32string::npos, taken = 0;
    while (a < address.size()) {
        if (p < pattern.size() && pattern[p] == U'*') {
            star = p++;
            taken = a;
        } else if (p < pattern.size() && (pattern[p] == U'?' || Folded(pattern[p]) == Folded(address[a]))) {
            ++p;
            ++a;
        } else if (star != std::u32string::npos) {
            p = star + 1;
            a = ++taken;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == U'*') ++p;
    return p == pattern.size();
}

std::u32string CharactersOf(const std::u16string& text) {
    std::u32string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)
            out += 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        else
            out += c;
    }
    return out;
}

std::u32string CharactersOfUtf8(const std::string& text) {
    std::u32string out;
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        const int length = lead < 0x80 ? 1 : lead >= 0xC2 && lead < 0xE0 ? 2 : lead >= 0xE0 && lead < 0xF0 ? 3
                                        : lead >= 0xF0 && lead < 0xF5   ? 4
                                                                        : 0;
        char32_t c = length == 1 ? lead : length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
        bool good = length > 0 && i + length <= text.size();
        for (int k = 1; good && k < length; ++k) {
            const unsigned char next = static_cast<unsigned char>(text[i + k]);
            good = (next & 0xC0) == 0x80;
            c = (c << 6) | (next & 0x3F);
        }
        // Overlong forms, surrogates and code points past Unicode are no UTF-8 either.
        good = good && !(length == 3 && c < 0x800) && !(length == 4 && (c < 0x10000 || c > 0x10FFFF)) &&
               !(c >= 0xD800 && c <= 0xDFFF);
        out += good ? c : U'\uFFFD';
        i += good ? static_cast<std::size_t>(length) : 1;
    }
    return out;
}

bool KeepList::Read(IKeepPolicy* policy) {
    m_patterns.clear();
    std::vector<std::u16string> patterns;
    if (policy && !policy->ReadPatterns(patterns)) return false;
    for (const std::u16string& pattern : patterns)
        if (!pattern.empty() && pattern.size() <= kMaxPatternLength) m_patterns.push_back(CharactersOf(pattern));
    return true;
}

bool KeepList::Keeps(const std::u32string& address) const {
    for (const std::u32string& pattern : m_patterns)
        if (MatchesPattern(pattern, address)) return true;
    return false;
}

bool CTypedUrlHistory::ReadKeepPolicy() {
    m_keepPolicyRead = m_keepList.Read(m_keepPolicy);
    const int rows = m_list.GetItemCount();
    for (int row = 0; row < rows; ++row)
        if (KeptByPolicy(row) && !m_list.GetCheck(row)) m_list.SetCheck(row, true);
    return m_keepPolicyRead;
}

bool CTypedUrlHistory::KeptByPolicy(int row) {
    if (m_keepList.Empty()) return false;
    // A string value is matched by its own characters, which the list's code page may not hold.
    const StoredValue* loaded = Loaded(row);
    if (loaded && (loaded->type == kRegSz || loaded->type == kRegExpandSz))
        return m_keepList.Keeps(CharactersOf(StringText(loaded->data)));
    return m_keepList.Keeps(CharactersOfUtf8(m_list.GetItemText(row, 0)));
}

}  // namespace hl
