#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "textio/text_input.h"
#include "textio/text_output.h"

namespace tunelist {

// Whether writing the song list to `output_name` would destroy an input before it is read: the
// output is an existing regular file and is the definition list itself, or a fragment that the
// list names (by the same name, a hard link or a symbolic link). Gives the name to refuse with:
// the output's, or the definition list's when it cannot be read. The list is read once and
// rewound; a list that cannot be read twice (a pipe) is left to the check at include time.
std::optional<std::string> refuse_output(textio::text_input& definitions, const char* output_name);

// Applies the fragment rules to a line in place, when they leave its length as it is: true when
// the line can then go out as it stands. A marker line, a line shorter than the number field and
// a number that outgrows the field are left to write_fragment_line().
bool edit_fragment_line(textio::text_line& line, std::int32_t& counter, bool renumber);

// Writes a fragment line that edit_fragment_line() left alone, after the rules.
void write_fragment_line(textio::text_output& out, textio::text_line& line, std::int32_t& counter,
                         bool renumber);

// One fragment line to the song list: the two above in turn.
void copy_fragment_line(textio::text_output& out, textio::text_line& line, std::int32_t& counter,
                        bool renumber);

// Copies the definition list to the song list, replacing each include line by the lines of the
// fragment it names, one level deep, with the marker and renumbering rules applied to fragment
// lines. Prints "include <name>" for each fragment once it is open. Gives the name of the first
// file that could not be opened or read; the run stops there.
std::optional<std::string> assemble_list(textio::text_input& definitions, textio::text_output& out,
                                         bool renumber);

}  // namespace tunelist
