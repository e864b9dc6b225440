#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The tools' rules stated plainly, byte by byte and line by line, with none of the block-wise
// reading, in-place editing or run gathering of the real code: a yardstick to hold it against.
namespace reference {

// The bytes as the tools read them: every CR dropped, cut at the first Ctrl-Z.
inline std::string as_read(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size());
    for (char c : bytes.substr(0, bytes.find('\x1a')))
        if (c != '\r') text += c;
    return text;
}

// LF as CR LF.
inline std::string as_written(std::string_view text) {
    std::string bytes;
    bytes.reserve(text.size() + text.size() / 8);
    for (char c : text) {
        if (c == '\n') bytes += '\r';
        bytes += c;
    }
    return bytes;
}

// The bytes as a tool that copies every line unchanged writes them.
inline std::string as_copied(std::string_view bytes) { return as_written(as_read(bytes)); }

struct line {
    std::string_view content;
    bool newline;
};

// The physical lines of text that has been read already.
inline std::vector<line> lines_of(std::string_view text) {
    std::vector<line> lines;
    while (!text.empty()) {
        std::size_t lf = text.find('\n');
        if (lf == std::string_view::npos) {
            lines.push_back({text, false});
            break;
        }
        lines.push_back({text.substr(0, lf), true});
        text.remove_prefix(lf + 1);
    }
    return lines;
}

inline bool is_digit(char c) { return c >= '0' && c <= '9'; }

constexpr std::int32_t counter_limit = 2147483647;

// A fragment line's content after the marker and renumbering rules.
inline std::string fragment_line(std::string_view content, std::int32_t& counter, bool renumber) {
    std::string line(content);
    if (line.size() >= 2 && line[0] == 's' && line[1] == '*') {
        std::int64_t value = 0;
        for (std::size_t i = 2; i < line.size() && is_digit(line[i]); ++i)
            value = std::min<std::int64_t>(value * 10 + (line[i] - '0'), counter_limit);
        counter = static_cast<std::int32_t>(value);
        line.erase(1, 1);  // the star goes
    } else if (!line.empty() && line[0] == 's' && renumber) {
        if (counter < counter_limit) ++counter;
        std::string number = std::to_string(counter);
        if (number.size() < 3) number.insert(0, 3 - number.size(), '0');
        line.replace(1, std::min<std::size_t>(3, line.size() - 1), number);  // positions 1 to 3
    }
    return line;
}

struct assembly {
    std::string written;
    std::string progress;                // the "include <name>" lines, as shown
    std::optional<std::string> missing;  // the first fragment named that is not in the map
};

// The song list that a definition list and the fragments (by name) give.
inline assembly assembled(std::string_view list_bytes,
                          const std::map<std::string, std::string>& fragments, bool renumber) {
    assembly result;
    std::int32_t counter = 0;
    const std::string list = as_read(list_bytes);
    for (const auto& l : lines_of(list)) {
        if (l.content.size() < 8 || l.content.substr(1, 7) != "include") {
            result.written += l.content;
            if (l.newline) result.written += "\r\n";
            continue;
        }
        std::string name(l.content.size() > 9 ? l.content.substr(9) : std::string_view());
        auto fragment = fragments.find(name);
        if (fragment == fragments.end()) {
            result.missing = name;
            break;
        }
        result.progress += "include " + name + "\r\n";
        const std::string text = as_read(fragment->second);
        for (const auto& f : lines_of(text)) {
            result.written += fragment_line(f.content, counter, renumber);
            if (f.newline) result.written += "\r\n";
        }
    }
    return result;
}

// The header a song list gives.
inline std::string header_of(std::string_view list_bytes) {
    std::string header;
    const std::string list = as_read(list_bytes);
    for (const auto& l : lines_of(list)) {
        std::string_view c = l.content;
        if (c.size() >= 2 && c[0] == 's' && is_digit(c[1])) {
            std::size_t end = 1;
            while (end < c.size() && is_digit(c[end])) ++end;
            std::string_view number = c.substr(1, end - 1);
            while (number.size() > 1 && number[0] == '0') number.remove_prefix(1);
            while (end < c.size() && (c[end] == ' ' || c[end] == '=' || c[end] == '\t')) ++end;
            std::size_t comma = c.find(',', end);
            std::string name(c.substr(end, comma == std::string_view::npos ? comma : comma - end));
            for (char& ch : name)
                if (static_cast<unsigned char>(ch) >= 0x61 && static_cast<unsigned char>(ch) <= 0x7F)
                    ch = static_cast<char>(ch - 0x20);
            if (name.rfind("MUS_", 0) != 0 && name.rfind("SE_", 0) != 0) name.insert(0, "MUS_");
            header += "#define\t";
            header += name;
            header += '\t';
            header += number;
            header += "\r\n";
        } else if (c.size() >= 6 && c.substr(2, 4) == "defi") {
            header += c.substr(1);
            if (l.newline) header += "\r\n";
        }
    }
    return header;
}

}  // namespace reference
