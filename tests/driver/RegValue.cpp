#include "driver/RegValue.h"

namespace drive {

std::string Printable(const std::string& bytes) {
    std::string out;
    for (unsigned char c : bytes)
        if (c >= 0x20 && c < 0x7F && c != '\\') out += static_cast<char>(c);
        else out += {'\\', 'x', "0123456789ABCDEF"[c >> 4], "0123456789ABCDEF"[c & 15]};
    return out;
}

std::ostream& operator<<(std::ostream& out, const RegValue& value) {
    return out << "{\"" << Printable(value.name) << "\" type " << value.type << " \"" << Printable(value.data) << "\"}";
}

std::ostream& operator<<(std::ostream& out, const WideValue& value) {
    const bool text = value.type == hl::kRegSz || value.type == hl::kRegExpandSz || value.type == hl::kRegMultiSz;
    if (!text || value.data.size() % 2) return out << RegValue{Utf8(value.name), value.type, value.data};
    return out << "{\"" << Utf8(value.name) << "\" type " << value.type << " \"" << Utf8(Utf16Units(value.data))
               << "\" (UTF-16)}";
}

std::ostream& operator<<(std::ostream& out, const Row& row) {
    return out << "{" << (row.checked ? "[x] \"" : "[ ] \"") << Printable(row.name) << "\" \"" << Printable(row.address) << "\"}";
}

std::string SzData(const std::string& text) { return text + '\0'; }

RegValue Sz(const std::string& name, const std::string& text) { return {name, hl::kRegSz, SzData(text)}; }

RegValue Dword(const std::string& name, unsigned number) {
    std::string data;
    for (int i = 0; i < 4; ++i) data += static_cast<char>(number >> (8 * i) & 0xFF);  // little-endian, as stored
    return {name, hl::kRegDword, data};
}

WideValue WideSz(const std::u16string& name, const std::u16string& text) {
    return {name, hl::kRegSz, Utf16Bytes(text + u'\0')};
}

std::string Utf16Bytes(const std::u16string& text) {
    std::string bytes;
    for (char16_t c : text) bytes += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    return bytes;
}

std::u16string Utf16Units(const std::string& bytes) {
    std::u16string text;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        text += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8);
    return text;
}

std::string Utf8(const std::u16string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        // A lead byte with as many high bits set as the bytes that follow it and one more.
        const int extra = c < 0x80 ? 0 : c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
        out += static_cast<char>(extra ? (0xFF << (7 - extra) & 0xFF) | c >> (6 * extra) : c);
        for (int k = extra - 1; k >= 0; --k) out += static_cast<char>(0x80 | (c >> (6 * k) & 0x3F));
    }
    return out;
}

std::u16string Utf16(const std::string& utf8) {
    std::u16string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const unsigned char lead = static_cast<unsigned char>(utf8[i++]);
        // The bytes that follow the lead, and the bits of it that are the character's.
        const int extra = lead < 0x80 ? 0 : lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
        char32_t c = lead & (0x7F >> (extra ? extra + 1 : 0));
        bool valid = extra >= 0 && i + extra <= utf8.size();
        for (int k = 0; valid && k < extra; ++k) {
            valid = (utf8[i + k] & 0xC0) == 0x80;
            c = c << 6 | (utf8[i + k] & 0x3F);
        }
        if (!valid) {  // as the platform does: U+FFFD for a byte that starts no character
            out += u'\xFFFD';
            continue;
        }
        i += extra;
        if (c >= 0x10000) out += {static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)),
                                  static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF))};
        else out += static_cast<char16_t>(c);
    }
    return out;
}

}  // namespace drive
