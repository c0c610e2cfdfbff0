// The fuzzer's bytes read as choices: every read succeeds, and once the bytes
// run out every choice is the first one, so that any input is a whole case.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace hlfuzz {

class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    bool Empty() const { return m_pos >= m_size; }
    std::uint8_t Byte() { return Empty() ? 0 : m_data[m_pos++]; }
    // A choice among n (n > 0).
    unsigned Pick(unsigned n) { return Byte() % n; }
    bool Flag() { return Byte() & 1; }

    // A length that often lands on the edges of the 260-byte buffers.
    std::size_t Length() {
        static constexpr std::size_t kEdges[] = {0, 1, 3, 258, 259, 260, 261, 300};
        const std::uint8_t b = Byte();
        return b < 0xC0 ? b % 40 : kEdges[b % 8];
    }

    // Text of the given length from a short pattern of the input's bytes,
    // zeros and 8-bit bytes included.
    std::string Text(std::size_t length) {
        const std::size_t patternLength = 1 + Pick(4);
        std::string pattern;
        for (std::size_t i = 0; i < patternLength; ++i) pattern += static_cast<char>(Byte());
        std::string text;
        for (std::size_t i = 0; i < length; ++i) text += pattern[i % patternLength];
        return text;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

}  // namespace hlfuzz
