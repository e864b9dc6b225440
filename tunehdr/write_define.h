#pragma once

#include <cstddef>
#include <cstring>
#include <string_view>

#include "textio/line_loop.h"
#include "textio/line_scan.h"
#include "textio/text_line.h"
#include "tunehdr/song_entry.h"
#include "tunehdr/song_words.h"

// Writing the #define of a song entry line in one pass, the hot path of the header generator:
// "#define<TAB>SYMBOL<TAB>number" and CR LF, with the parts convert_song_entry() finds. `to` has
// room for the line's length, define_size_beyond_line and textio::line_slack more bytes, which
// may be written over; the line's slack must be readable. Each way gives the size written.
namespace tunehdr {

// Eight bytes at a time, in plain 64-bit arithmetic: the portable way.
inline std::size_t write_define_words(char* to, std::string_view line) {
    using namespace words;
    const char* text = line.data();
    const std::size_t end = digits_end(text, line.size());
    const std::string_view number = strip_leading_zeros(line.substr(1, end - 1));
    const std::size_t from = skip_separators(line, end);
    const std::size_t left = line.size() - from;
    const char* name = text + from;

    // The name's first word tells whether it takes the prefix, before anything of it is placed.
    std::uint64_t word = load_word(name);
    std::uint64_t upper = upper_word(word);
    std::uint64_t commas = bytes_equal(word, ',');
    std::size_t name_size = std::min(commas ? first_marked(commas) : 8, left);
    std::memcpy(to, "#define\tMUS_", 12);
    char* out = to + (takes_prefix(upper, name_size) ? 12 : 8);

    // Each word goes out upper-cased, whole, until the one that holds the comma or the line's
    // end; bytes past the name run into the slack and are written over by what follows.
    std::memcpy(out, &upper, 8);
    for (std::size_t i = 8; !commas && i < left; i += 8) {
        word = load_word(name + i);
        upper = upper_word(word);
        std::memcpy(out + i, &upper, 8);
        commas = bytes_equal(word, ',');
        name_size = std::min(commas ? i + first_marked(commas) : left, left);
    }
    out += name_size;
    *out++ = '\t';
    if (number.size() <= 8) {
        std::memcpy(out, number.data(), 8);
    } else {
        std::memcpy(out, number.data(), number.size());
    }
    out += number.size();
    out[0] = '\r';
    out[1] = '\n';
    return static_cast<std::size_t>(out + 2 - to);
}

#ifdef TEXTIO_SSE2
// The rare lines the sixteen-byte way leaves to the portable one, kept out of the line loop.
TEXTIO_NOINLINE inline std::size_t write_long_number_define(char* to, std::string_view line) {
    return write_define_words(to, line);
}

// Sixteen bytes at a time with SSE2, which every x86-64 processor has, for a line followed by
// CR (as every line of clean CR LF text is). No CR stands inside a line, so that CR ends the
// digits, the separators and the name wherever the line ends, and nothing needs measuring
// against the line's length. Numbers of sixteen digits or more, or separators reaching that far,
// go the portable way.
TEXTIO_INLINE inline std::size_t write_define_sse2(char* to, std::string_view line) {
    const char* text = line.data();
    auto mask_of = [](__m128i equal) {
        return static_cast<unsigned>(_mm_movemask_epi8(equal));
    };
    auto equal_to = [](__m128i v, char c) { return _mm_cmpeq_epi8(v, _mm_set1_epi8(c)); };
    // Each mask covers sixteen bytes; bit 16 stands for "not within them", so that every count
    // below finds a bit.
    constexpr unsigned beyond = 1u << 16;

    // The digits from position 1 on, then where the name starts: after one '=' most of the time,
    // otherwise after whatever run of separators follows the digits.
    const __m128i head = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + 1));
    const unsigned digit = mask_of(_mm_and_si128(_mm_cmpgt_epi8(head, _mm_set1_epi8('0' - 1)),
                                                 _mm_cmplt_epi8(head, _mm_set1_epi8('9' + 1))));
    const std::size_t digits = static_cast<std::size_t>(std::countr_zero(~digit | beyond));
    if (digits == 16) return write_long_number_define(to, line);
    std::size_t from = 2 + digits;
    if (text[1 + digits] != '=' || words::is_separator(text[2 + digits])) {
        const unsigned separator =
            mask_of(_mm_or_si128(_mm_or_si128(equal_to(head, ' '), equal_to(head, '=')),
                                 equal_to(head, '\t')));
        from = 1 + static_cast<std::size_t>(std::countr_zero((~separator | beyond) & (~0u << digits)));
        if (from > 16) return write_long_number_define(to, line);
    }
    std::size_t zeros = 0;
    if (text[1] == '0') {
        zeros = static_cast<std::size_t>(std::countr_zero(~mask_of(equal_to(head, '0')) | beyond));
        zeros = std::min(zeros, digits - 1);
    }

    // The name, upper-cased sixteen bytes at a time up to the piece that holds the comma or the
    // CR. The first piece decides the prefix: a name shorter than "MUS_" or "SE_" has its comma
    // or CR within the bytes compared, so it never passes for one.
    const __m128i lowered = _mm_set1_epi8(0x20);
    const __m128i lower_start = _mm_set1_epi8(0x60);
    auto upper = [&](__m128i v) {
        return _mm_sub_epi8(v, _mm_and_si128(_mm_cmpgt_epi8(v, lower_start), lowered));
    };
    auto name_ends = [&](__m128i v) { return mask_of(_mm_or_si128(equal_to(v, ','), equal_to(v, '\r'))); };
    __m128i piece = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + from));
    unsigned ends = name_ends(piece);
    __m128i upper_piece = upper(piece);
    const auto head_word = static_cast<std::uint32_t>(_mm_cvtsi128_si32(upper_piece));
    const bool has_prefix = head_word == 0x5f53554d || (head_word & 0xffffff) == 0x5f4553;
    std::memcpy(to, "#define\tMUS_", 12);
    char* out = to + (has_prefix ? 8 : 12);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), upper_piece);
    std::size_t name_size = 0;
    while (ends == 0) {
        name_size += 16;
        piece = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + from + name_size));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + name_size), upper(piece));
        ends = name_ends(piece);
    }
    out += name_size + static_cast<std::size_t>(std::countr_zero(ends));
    *out++ = '\t';
    std::memcpy(out, text + 1 + zeros, 16);  // the number has fewer than sixteen digits here
    out += digits - zeros;
    out[0] = '\r';
    out[1] = '\n';
    return static_cast<std::size_t>(out + 2 - to);
}
#endif

// Writes the #define of a song entry line, the fast way when a CR follows it.
TEXTIO_INLINE inline std::size_t write_define(char* to, const textio::text_line& line) {
#ifdef TEXTIO_SSE2
    if (line.crlf_follows) return write_define_sse2(to, line.content());
#endif
    return write_define_words(to, line.content());
}

}  // namespace tunehdr
