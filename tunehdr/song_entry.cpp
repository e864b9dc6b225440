#include "tunehdr/song_entry.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#include "tunehdr/song_words.h"

namespace tunehdr {

using namespace words;

std::string_view strip_leading_zeros(std::string_view digits) {
    std::size_t zeros = 0;
    while (zeros + 1 < digits.size() && digits[zeros] == '0') ++zeros;
    return digits.substr(zeros);
}

std::size_t skip_separators(std::string_view line, std::size_t from) {
    std::size_t p = std::min(from, line.size());
    while (p < line.size() && is_separator(line[p])) ++p;
    return p;
}

void copy_upper_ascii(char* to, const char* from, std::size_t size) {
    std::size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        std::uint64_t word = upper_word(load_word(from + i));
        std::memcpy(to + i, &word, 8);
    }
    for (; i < size; ++i) {
        auto byte = static_cast<unsigned char>(from[i]);
        to[i] = static_cast<char>(byte >= 0x61 && byte <= 0x7F ? byte - 0x20 : byte);
    }
}

void to_upper_ascii(char* text, std::size_t size) { copy_upper_ascii(text, text, size); }

bool starts_with(std::string_view prefix, std::string_view text) {
    return text.substr(0, prefix.size()) == prefix;
}

std::string_view name_prefix(std::string_view name) {
    auto upper_at = [&](std::size_t i) {
        auto byte = static_cast<unsigned char>(name[i]);
        return static_cast<char>(byte >= 0x61 && byte <= 0x7F ? byte - 0x20 : byte);
    };
    bool has_mus = name.size() >= 4 && upper_at(0) == 'M' && upper_at(1) == 'U' &&
                   upper_at(2) == 'S' && upper_at(3) == '_';
    bool has_se = name.size() >= 3 && upper_at(0) == 'S' && upper_at(1) == 'E' && upper_at(2) == '_';
    return has_mus || has_se ? std::string_view() : std::string_view("MUS_");
}

void apply_name_prefix(std::string& name) { name.insert(0, name_prefix(name)); }

song_entry convert_song_entry(std::string_view line) {
    const char* text = line.data();
    const std::size_t end = digits_end(text, line.size());
    std::size_t from = skip_separators(line, end);
    std::size_t left = line.size() - from;
    std::size_t name_size = left;
    for (std::size_t i = 0; i < left; i += 8) {
        if (std::uint64_t commas = bytes_equal(load_word(text + from + i), ',')) {
            name_size = std::min(left, i + first_marked(commas));
            break;
        }
    }
    bool prefix = takes_prefix(upper_word(load_word(text + from)), name_size);
    return {strip_leading_zeros(line.substr(1, end - 1)),
            prefix ? std::string_view("MUS_") : std::string_view(), line.substr(from, name_size)};
}

}  // namespace tunehdr
