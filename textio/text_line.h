#pragma once

#include <cstddef>
#include <string_view>

namespace textio {

// Bytes after a line's content that may always be read (their values mean nothing), so that a
// line can be looked at eight or sixteen bytes at a time without a check at its end. Every line a
// text_input hands out has them; code that builds lines of its own must provide them too.
constexpr std::size_t line_slack = 16;

// One physical line of a text file, of any length, as the tools see it: its content with every CR
// byte dropped, and whether a line feed ended it. When the two bytes after the content are CR LF
// (as they are for a line read from a CR LF file), the line stands in its written form already and
// can be copied out as it is. The content may be edited in place; it stays valid until the
// input reads its next block.
struct text_line {
    char* data = nullptr;
    std::size_t content_size = 0;
    bool newline = false;      // a line feed ended the line; only the last line can lack one
    bool crlf_follows = false; // data[content_size] and data[content_size + 1] hold CR LF

    std::string_view content() const { return {data, content_size}; }
};

}  // namespace textio
