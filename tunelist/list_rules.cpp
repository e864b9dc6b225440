#include "tunelist/list_rules.h"

#include <algorithm>
#include <charconv>

namespace tunelist {

bool is_include_line(std::string_view content) {
    return content.size() >= 8 && content.substr(1, 7) == "include";
}

std::string_view fragment_name(std::string_view include_line) {
    return include_line.substr(std::min<std::size_t>(9, include_line.size()));
}

bool is_marker_line(std::string_view content) {
    return content.size() >= 2 && content[0] == 's' && content[1] == '*';
}

line_edit apply_marker_line(std::string_view content, std::int32_t& counter) {
    std::int32_t value = 0;
    for (std::size_t i = 2; i < content.size() && content[i] >= '0' && content[i] <= '9'; ++i) {
        int digit = content[i] - '0';
        value = value > (counter_limit - digit) / 10 ? counter_limit : value * 10 + digit;
    }
    counter = value;
    line_edit edit;
    edit.head[0] = 's';
    edit.head_size = 1;
    edit.keep_from = 2;
    return edit;
}

line_edit renumber_song_line(std::string_view content, std::int32_t& counter) {
    if (counter < counter_limit) ++counter;
    line_edit edit;
    edit.head[0] = 's';
    if (counter < 1000) {
        edit.head[1] = static_cast<char>('0' + counter / 100);
        edit.head[2] = static_cast<char>('0' + counter / 10 % 10);
        edit.head[3] = static_cast<char>('0' + counter % 10);
        edit.head_size = 4;
    } else {
        auto done = std::to_chars(edit.head.data() + 1, edit.head.data() + edit.head.size(), counter);
        edit.head_size = static_cast<std::size_t>(done.ptr - edit.head.data());
    }
    edit.keep_from = std::min<std::size_t>(4, content.size());
    return edit;
}

std::optional<line_edit> apply_fragment_rules(std::string_view content, std::int32_t& counter,
                                              bool renumber) {
    if (content.empty() || content[0] != 's') return std::nullopt;
    if (is_marker_line(content)) return apply_marker_line(content, counter);
    if (renumber) return renumber_song_line(content, counter);
    return std::nullopt;
}

}  // namespace tunelist
