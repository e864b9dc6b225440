#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "textio/os_file.h"
#include "textio/text_line.h"

namespace textio {

// A text file read in large blocks under the tools' reading rules: every CR byte is dropped
// wherever it stands, the first Ctrl-Z byte ends the file, and every other byte (NUL and 0x80 to
// 0xFF included) passes unchanged. Lines are physical lines of any length: a line longer than a
// block is gathered whole.
//
// Reading goes block by block: next_line() hands out the lines of the bytes read so far, and
// refill() reads the next block, which may move or overwrite the bytes of earlier lines.
class text_input {
public:
    text_input() = default;
    text_input(const text_input&) = delete;
    text_input& operator=(const text_input&) = delete;
    ~text_input();

    // Opens a file by name. A name holding a NUL byte, a name that cannot be opened and a
    // directory all fail. Nothing is read yet; the buffer of an earlier file is reused.
    bool open(std::string_view name);

    // Reads from an already open handle, which the input then owns.
    void attach(os::handle file, std::string_view name);

    // The next line among the bytes read so far; false when refill() must come first, or at the
    // end. The last line of a file that ends without a line feed comes out once the end is seen.
    bool next_line(text_line& line);

    // Reads the next block. False when nothing more can come: the end of the file, a Ctrl-Z
    // already seen, or a read error (then failed() is true).
    bool refill();

    // Starts again from the first byte; regular files only.
    bool rewind();

    void close();

    bool failed() const { return failed_; }
    const std::string& name() const { return name_; }
    os::handle handle() const { return file_; }

private:
    os::handle file_ = os::no_handle;
    std::string name_;
    char* buffer_ = nullptr;
    std::size_t capacity_ = 0;
    std::size_t begin_ = 0;  // first byte not yet handed out
    std::size_t end_ = 0;    // end of the bytes read
    std::size_t no_lf_before_ = 0;  // the partial line at begin_ holds no LF up to here
    bool at_end_ = false;
    bool failed_ = false;
};

// Size of one read and of the output buffer. Fuzz builds shrink it to a few bytes, so that
// block ends fall everywhere in short inputs.
#ifndef TEXTIO_BLOCK_SIZE
#define TEXTIO_BLOCK_SIZE (256 * 1024)
#endif
constexpr std::size_t block_size = TEXTIO_BLOCK_SIZE;

// Drops every CR byte of data[0, size) in place and returns the new size.
std::size_t drop_carriage_returns(char* data, std::size_t size);

}  // namespace textio
