#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Turning a song entry of the song list into the two words of a #define: the symbol and the
// song number. A song entry is 's', the number's digits, any separators, the name, a comma and
// fields that are not looked at: s001=title,1 gives MUS_TITLE and 1.
namespace tunehdr {

// 's' at position 0 and a decimal digit at position 1.
inline bool is_song_entry_line(std::string_view content) {
    return content.size() >= 2 && content[0] == 's' && content[1] >= '0' && content[1] <= '9';
}

// "defi" at positions 2 to 5; positions 0 and 1 may hold anything. Such a line carries a
// #define behind one leading character.
inline bool is_header_line(std::string_view content) {
    return content.size() >= 6 && content.substr(2, 4) == "defi";
}

// The digits without their leading zeros; all zeros leave a single "0".
std::string_view strip_leading_zeros(std::string_view digits);

// The first position at or after `from` that holds neither a space, '=' nor a tab (or the end).
std::size_t skip_separators(std::string_view line, std::size_t from);

// Lowers every byte from 0x61 to 0x7F by 0x20, in place: 'a' to 'z' become 'A' to 'Z', and '{'
// '|' '}' '~' and 0x7F become '[' '\' ']' '^' and '_'. Bytes from 0x80 up are left alone, yet a
// Shift_JIS character whose second byte lies from 0x61 to 0x7E does change: the rule is bytewise.
void to_upper_ascii(char* text, std::size_t size);

// The same rule while copying `size` bytes from `from` to `to`.
void copy_upper_ascii(char* to, const char* from, std::size_t size);

bool starts_with(std::string_view prefix, std::string_view text);

// What goes in front of a name once it is upper-cased: "MUS_", unless it then begins with "MUS_"
// or "SE_".
std::string_view name_prefix(std::string_view name);

// Puts the prefix in front of an upper-cased name.
void apply_name_prefix(std::string& name);

// A song entry's two words: the symbol is `prefix`, then `name` upper-cased.
struct song_entry {
    std::string_view number;  // the digits without leading zeros
    std::string_view prefix;  // "MUS_" or nothing
    std::string_view name;    // as it stands in the line
};

// Finds the number and the name of a song entry line. The name runs from the first
// non-separator after the digits up to the first comma, or to the end of the line when there is
// none; separators inside or after the name stay. Neither part has a length bound, and nothing is
// copied. The line is read eight bytes at a time: the textio::line_slack bytes after it must be
// readable, as they are for every line a text_input hands out.
song_entry convert_song_entry(std::string_view line);

// A #define takes at most the song entry line's length and this many bytes.
constexpr std::size_t define_size_beyond_line = 14;

}  // namespace tunehdr
