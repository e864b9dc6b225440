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

void to_upper_ascii(std::string& text) {
    for (char& c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x61 && byte <= 0x7F) c = static_cast<char>(byte - 0x20);
    }
}

bool starts_with(std::string_view prefix, std::string_view text) {
    return text.substr(0, prefix.size()) == prefix;
}

void apply_name_prefix(std::string& name) {
    if (starts_with("MUS_", name) || starts_with("SE_", name)) return;
    name.insert(0, "MUS_");
}

void convert_song_entry(std::string_view line, song_entry& entry) {
    std::size_t digits = 0;
    while (1 + digits < line.size() && is_digit(line[1 + digits])) ++digits;
    entry.number = strip_leading_zeros(line.substr(1, digits));
    std::size_t from = skip_separators(line, digits + 1);
    std::size_t comma = line.find(',', from);
    entry.name.assign(line.substr(from, comma == std::string_view::npos ? comma : comma - from));
    to_upper_ascii(entry.name);
    apply_name_prefix(entry.name);
}

}  // namespace tunehdr
