#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

// The line rules of the song list assembler. They look at a line's content (the line without its
// line feed) and never at anything beyond its start, whatever the line's length.
namespace tunelist {

// A definition-list line that names a fragment: "include" at positions 1 to 7. Position 0 may
// hold anything; a line with the word at position 0 is not an include line.
bool is_include_line(std::string_view content);

// The fragment an include line names: everything from position 9 to the end of the content,
// untrimmed. Position 8 is skipped unseen; a line that ends before position 9 names the empty
// fragment.
std::string_view fragment_name(std::string_view include_line);

// A fragment line that pins the song counter: 's' then '*'.
bool is_marker_line(std::string_view content);

// The song counter's highest value; marker numbers and the counter stop there.
constexpr std::int32_t counter_limit = 2147483647;

// How a rule changes a line: the line goes out as `head`, then the content from `keep_from` on,
// then its line end. The line end is never touched.
struct line_edit {
    std::array<char, 12> head{};  // 's' and the ten digits of the largest counter
    std::size_t head_size = 0;
    std::size_t keep_from = 0;

    std::string_view head_text() const { return {head.data(), head_size}; }
};

// A marker line sets the counter to the digit run after the '*' (none reads as 0) and loses its
// '*': s*010=title,1 goes out as s010=title,1 with the counter at 10.
line_edit apply_marker_line(std::string_view content, std::int32_t& counter);

// Advances the counter and writes it into the fixed field at positions 1 to 3, zero-padded to
// three digits. Whatever the field held goes, separators included (s12=x,1 at counter 12 becomes
// s013x,1); a number of four or more digits is written whole, its further digits pushed in after
// the field, so no two songs share a number. A line shorter than the field becomes 's' and the
// number.
line_edit renumber_song_line(std::string_view content, std::int32_t& counter);

// The first rule that holds for a fragment line: a marker line, or (with renumbering on) any
// line starting with lower-case 's'. No edit means the line goes out unchanged.
std::optional<line_edit> apply_fragment_rules(std::string_view content, std::int32_t& counter,
                                              bool renumber);

}  // namespace tunelist
