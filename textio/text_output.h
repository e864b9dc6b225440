#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "textio/os_file.h"
#include "textio/text_input.h"
#include "textio/text_line.h"

namespace textio {

// A text file written in large blocks under the tools' writing rules: every line feed goes out as
// CR LF, every other byte unchanged. The output remembers its first failed write; after it,
// nothing more is written, and close() reports the failure.
class text_output {
public:
    static constexpr std::size_t largest_reserve = block_size / 2;

    text_output() = default;
    text_output(const text_output&) = delete;
    text_output& operator=(const text_output&) = delete;
    ~text_output();

    // Creates the file, or truncates an existing one.
    bool open(std::string_view name);

    // Writes to an already open handle, which the output then owns.
    void attach(os::handle file, std::string_view name);

    // Text under the writing rules: each LF becomes CR LF.
    void write_text(std::string_view text);

    // Bytes already in written form.
    void write_bytes(std::string_view bytes);

    // The line from content position `from` on, with its line end. Lines that follow each other in
    // the input's buffer are gathered and written as one run, so the bytes must stay where they
    // are until release_lines().
    void write_line(const text_line& line, std::size_t from = 0) {
        const char* data = line.data + from;
        std::size_t size = line.content_size - from + (line.crlf_follows ? 2 : 0);
        if (run_size_ != 0 && data == run_ + run_size_) {
            run_size_ += size;
        } else {
            start_run(data, size);
        }
        if (line.newline && !line.crlf_follows) write_bytes("\r\n");
    }

    // Room for `size` bytes in written form at the end of the buffer, to be filled and then
    // committed. Pieces up to largest_reserve always get it; a larger one gets null (write it
    // with write_bytes()).
    // The line_slack bytes after the room may be written over too.
    char* reserve(std::size_t size) {
        if (size > room_) return make_room(size);
        return buffer_ + used_;
    }
    void commit(std::size_t size) {
        used_ += size;
        room_ -= size;
    }

    // Copies or writes out the gathered lines; called before the input reads its next block.
    void release_lines();

    // Writes out everything buffered.
    void flush();

    // Flushes and closes; true when every write and the close went through.
    bool close();

    bool failed() const { return failed_; }
    const std::string& name() const { return name_; }
    os::handle handle() const { return file_; }

private:
    void start_run(const char* data, std::size_t size);
    char* make_room(std::size_t size);
    void count_room() { room_ = run_size_ != 0 ? 0 : block_size - used_; }
    void append(const char* data, std::size_t size);
    void write_out(const char* data, std::size_t size);

    os::handle file_ = os::no_handle;
    std::string name_;
    char* buffer_ = nullptr;
    std::size_t used_ = 0;
    const char* run_ = nullptr;  // lines still in the input's buffer, written later as one piece
    std::size_t run_size_ = 0;
    std::size_t room_ = 0;  // what reserve() may hand out at once: nothing while a run waits
    bool failed_ = false;
};

}  // namespace textio
