#include "tunehdr/song_entry.h"

#include <algorithm>

namespace tunehdr {

namespace {
bool is_digit(char c) { return c >= '0' && c <= '9'; }
}  // namespace

bool is_song_entry_line(std::string_view content) {
    return content.size() >= 2 && content[0] == 's' && is_digit(content[1]);
}

bool is_header_line(std::string_view content) {
    return content.size() >= 6 && content.substr(2, 4) == "defi";
}

std::string_view strip_leading_zeros(std::string_view digits) {
    std::size_t zeros = digits.find_first_not_of('0');
    if (zeros == std::string_view::npos) zeros = digits.empty() ? 0 : digits.size() - 1;
    return digits.substr(zeros);
}

std::size_t skip_separators(std::string_view line, std::size_t from) {
    std::size_t p = std::min(from, line.size());
    while (p < line.size() && (line[p] == ' ' || line[p] == '=' || line[p] == '\t')) ++p;
    return p;
}

void to_upper_ascii(char* text, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
        auto byte = static_cast<unsigned char>(text[i]);
        if (byte >= 0x61 && byte <= 0x7F) text[i] = static_cast<char>(byte - 0x20);
    }
}

bool starts_with(std::string_view prefix, std::string_view text) {
    return text.substr(0, prefix.size()) == prefix;
}

std::string_view name_prefix(std::string_view name) {
    if (starts_with("MUS_", name) || starts_with("SE_", name)) return {};
    return "MUS_";
}

void apply_name_prefix(std::string& name) { name.insert(0, name_prefix(name)); }

song_entry convert_song_entry(char* line, std::size_t size) {
    const std::string_view text(line, size);
    std::size_t digits = 0;
    while (1 + digits < size && is_digit(line[1 + digits])) ++digits;
    song_entry entry;
    entry.number = strip_leading_zeros(text.substr(1, digits));
    std::size_t from = skip_separators(text, digits + 1);
    std::size_t comma = text.find(',', from);
    std::size_t name_size = (comma == std::string_view::npos ? size : comma) - from;
    to_upper_ascii(line + from, name_size);
    entry.name = text.substr(from, name_size);
    entry.prefix = name_prefix(entry.name);
    return entry;
}

}  // namespace tunehdr
