#include "tunelist/assemble_list.h"

#include <array>
#include <cstring>

#include "textio/console.h"
#include "textio/line_loop.h"
#include "tunelist/list_rules.h"

namespace tunelist {

using textio::text_line;

std::optional<std::string> refuse_output(textio::text_input& definitions, const char* output_name) {
    namespace os = textio::os;
    os::file_identity output = os::identify(output_name);
    if (!output.exists || !output.regular) return std::nullopt;
    os::file_identity list = os::identify(definitions.handle());
    if (os::same_file(output, list)) return output_name;
    if (!list.regular) return std::nullopt;

    bool names_output = false;
    text_line line;
    do {
        while (!names_output && definitions.next_line(line)) {
            if (!is_include_line(line.content())) continue;
            std::string name(fragment_name(line.content()));
            if (name.empty() || name.find('\0') != std::string::npos) continue;
            names_output = os::same_file(output, os::identify(name.c_str()));
        }
    } while (!names_output && definitions.refill());
    if (names_output) return output_name;
    if (definitions.failed() || !definitions.rewind()) return definitions.name();
    return std::nullopt;
}

namespace {

// Writes a fragment line as the edit leaves it. When the new head is no longer than what it
// replaces, it goes into the line's own bytes, so the line still leaves as one unbroken run.
void write_edited(textio::text_output& out, text_line& line, const line_edit& edit) {
    if (edit.head_size <= edit.keep_from) {
        std::size_t from = edit.keep_from - edit.head_size;
        std::memcpy(line.data + from, edit.head.data(), edit.head_size);
        out.write_line(line, from);
    } else {
        out.write_bytes(edit.head_text());
        out.write_line(line, edit.keep_from);
    }
}

// Opens a fragment and reads its first block. A fragment that is the output file is refused
// before a byte of it is read.
bool open_fragment(textio::text_input& fragment, std::string_view name,
                   const textio::os::file_identity& output) {
    if (!fragment.open(name)) return false;
    if (textio::os::same_file(output, textio::os::identify(fragment.handle()))) {
        fragment.close();
        return false;
    }
    return fragment.refill() || !fragment.failed();
}

// "000" to "999", four bytes an entry so that one is found with a shift.
constexpr auto three_digits = [] {
    std::array<std::array<char, 4>, 1000> digits{};
    for (int n = 0; n < 1000; ++n) {
        digits[n][0] = static_cast<char>('0' + n / 100);
        digits[n][1] = static_cast<char>('0' + n / 10 % 10);
        digits[n][2] = static_cast<char>('0' + n % 10);
    }
    return digits;
}();

}  // namespace

bool edit_fragment_line(text_line& line, std::int32_t& counter, bool renumber) {
    const char* data = line.data;
    std::size_t size = line.content_size;
    if (size >= 4) {
        // The usual song entry: its number goes into the line's own bytes.
        if (data[0] != 's') return true;
        if (data[1] == '*') return false;
        if (!renumber) return true;
        if (counter >= 999) return false;  // the next number outgrows the field
        ++counter;
        std::memcpy(line.data + 1, three_digits[static_cast<std::size_t>(counter)].data(), 3);
        return true;
    }
    if (size == 0 || data[0] != 's') return true;
    if (size >= 2 && data[1] == '*') return false;
    return !renumber;  // a renumbered short line grows
}

void write_fragment_line(textio::text_output& out, text_line& line, std::int32_t& counter,
                         bool renumber) {
    if (auto edit = apply_fragment_rules(line.content(), counter, renumber))
        write_edited(out, line, *edit);
    else
        out.write_line(line);
}

void copy_fragment_line(textio::text_output& out, text_line& line, std::int32_t& counter,
                        bool renumber) {
    if (edit_fragment_line(line, counter, renumber))
        out.write_line(line);
    else
        write_fragment_line(out, line, counter, renumber);
}

std::optional<std::string> assemble_list(textio::text_input& definitions, textio::text_output& out,
                                         bool renumber) {
    const textio::os::file_identity output = textio::os::identify(out.handle());
    textio::text_input fragment;
    std::int32_t counter = 0;
    std::optional<std::string> failure;

    auto expand_include = [&](text_line& line) {
        std::string_view name = fragment_name(line.content());
        if (!open_fragment(fragment, name, output)) {
            failure = name;
            return false;
        }
        std::string progress = "include ";
        progress.append(name);
        progress.append("\n");
        textio::print_message(progress);
        bool fragment_read = textio::copy_lines(
            fragment, out,
            [&counter, renumber](text_line& fragment_line) {
                return edit_fragment_line(fragment_line, counter, renumber);
            },
            [&](text_line& fragment_line) {
                write_fragment_line(out, fragment_line, counter, renumber);
                return true;
            });
        fragment.close();
        if (!fragment_read) failure = name;
        return fragment_read;
    };
    bool read = textio::copy_lines(
        definitions, out, [](text_line& line) { return !is_include_line(line.content()); },
        expand_include);
    if (!read && !failure) failure = definitions.name();
    return failure;
}

}  // namespace tunelist
