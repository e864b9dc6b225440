#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

// Song entries read eight bytes at a time, in 64-bit words holding their first byte lowest. The
// words may reach past a line's content into its slack; what lies there never counts.
namespace tunehdr::words {

static_assert(std::endian::native == std::endian::little, "words hold their first byte lowest");

constexpr std::uint64_t each_byte = 0x0101010101010101;
constexpr std::uint64_t top_bits = each_byte * 0x80;

inline std::uint64_t load_word(const char* from) {
    std::uint64_t word;
    std::memcpy(&word, from, 8);
    return word;
}

// The upper-casing rule on each byte of a word. A byte loses 0x20 when it is below 0x80 and its
// low seven bits reach 0x61; setting the top bit before subtracting keeps the bytes from
// borrowing from each other.
inline std::uint64_t upper_word(std::uint64_t word) {
    std::uint64_t reaches = (word | top_bits) - each_byte * 0x61;
    std::uint64_t lowered = reaches & ~word & top_bits;
    return word - (lowered >> 2);
}

// The top bit of each byte of the word that equals c, and no other bit.
inline std::uint64_t bytes_equal(std::uint64_t word, unsigned char c) {
    std::uint64_t x = word ^ (each_byte * c);
    constexpr std::uint64_t low_seven = each_byte * 0x7F;
    return ~(((x & low_seven) + low_seven) | x | low_seven);
}

// The top bit of each byte of the word that is not a decimal digit.
inline std::uint64_t not_digits(std::uint64_t word) {
    std::uint64_t from_0 = (word | top_bits) - each_byte * '0';         // low seven bits >= '0'
    std::uint64_t to_9 = (each_byte * ('9' | 0x80)) - (word & ~top_bits);  // low seven bits <= '9'
    return ~(from_0 & to_9 & ~word) & top_bits;
}

inline std::size_t first_marked(std::uint64_t marks) {
    return static_cast<std::size_t>(std::countr_zero(marks)) / 8;
}

// Where the digits after the 's' end: whole words until one holds something else, and what
// lies past the line does not count.
inline std::size_t digits_end(const char* text, std::size_t size) {
    std::size_t end = 1;
    for (;;) {
        if (std::uint64_t others = not_digits(load_word(text + end))) {
            end += first_marked(others);
            break;
        }
        end += 8;
        if (end >= size) break;
    }
    return std::min(end, size);
}

inline bool is_separator(char c) {
    constexpr std::uint64_t separators = (1ull << ' ') | (1ull << '=') | (1ull << '\t');
    auto byte = static_cast<unsigned char>(c);
    return byte < 64 && ((separators >> byte) & 1);
}

// Whether a name takes "MUS_" in front: `head` is its first word upper-cased, `size` its length
// or, when longer, at least 4.
inline bool takes_prefix(std::uint64_t head, std::size_t size) {
    constexpr std::uint64_t mus = 0x5f53554d;  // "MUS_"
    constexpr std::uint64_t se = 0x5f4553;     // "SE_"
    bool has_mus = size >= 4 && (head & 0xffffffff) == mus;
    bool has_se = size >= 3 && (head & 0xffffff) == se;
    return !(has_mus || has_se);
}

}  // namespace tunehdr::words
