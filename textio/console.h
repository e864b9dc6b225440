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

}  // namespace textio
