#pragma once

#include <string_view>

#include "textio/text_input.h"
#include "textio/text_output.h"

namespace tunehdr {

// The header is always written to this name, in the current folder.
constexpr std::string_view header_name = "mus_def.h";

// Whether the header file exists and is the song list itself (by the same name, a hard link or
// a symbolic link): opening it for writing would empty the list before it is read.
bool header_is_the_list(const textio::text_input& list);

// Writes "#define\t<NAME>\t<number>" for every song entry line, copies every header line from its
// second character on, and drops all other lines, in the order of the list. False when the list
// could not be read to its end.
bool make_header(textio::text_input& list, textio::text_output& header);

}  // namespace tunehdr
