#pragma once

#include <string_view>

namespace textio {

// Messages for the user go to standard output under the same writing rules as the files (each
// LF as CR LF). They are buffered and written out when the program ends; a failure to show them
// does not change the exit status, which speaks for the files.
void print_message(std::string_view text);

// Writes out the messages and returns `status`, for main's return.
int finish(int status);

// Writes out the messages and ends the process with `status`.
[[noreturn]] void exit_with(int status);

// "\n<name> open error\n", then exit status 1.
[[noreturn]] void open_error(std::string_view name);

class text_input;
class text_output;

// Opens an input by name and reads its first block, or ends the run with "\n<name> open
// error\n": a missing file, a folder and an unreadable file all fail here, before any file is
// written.
void open_input_or_exit(text_input& in, const char* name);

// Closes the tool's output file: 0, or 255 after "\n<name> write error\n" when any write to it or
// its close failed.
int close_output(text_output& out);

}  // namespace textio
