#include "textio/text_output.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "textio/text_input.h"

namespace textio {

text_output::~text_output() {
    close();
    std::free(buffer_);
}

bool text_output::open(std::string_view name) {
    name_.assign(name);
    if (name.find('\0') != std::string_view::npos) return false;
    os::handle file = os::open_for_writing(name_.c_str());
    if (file == os::no_handle) return false;
    attach(file, name);
    return true;
}

void text_output::attach(os::handle file, std::string_view name) {
    if (!buffer_) {
        buffer_ = static_cast<char*>(std::malloc(block_size + line_slack));
        if (!buffer_) throw std::bad_alloc();
    }
    file_ = file;
    name_.assign(name);
    used_ = run_size_ = 0;
    run_ = nullptr;
    failed_ = false;
    count_room();
}

void text_output::write_out(const char* data, std::size_t size) {
    if (failed_ || size == 0) return;
    if (file_ == os::no_handle || !os::write_block(file_, data, size)) failed_ = true;
}

void text_output::flush() {
    release_lines();
    write_out(buffer_, used_);
    used_ = 0;
    count_room();
}

void text_output::append(const char* data, std::size_t size) {
    if (size == 0) return;  // an empty piece may come with no storage at all
    if (size >= block_size / 2) {
        // Large pieces skip the buffer: a run of unchanged lines goes out straight from the input.
        write_out(buffer_, used_);
        used_ = 0;
        write_out(data, size);
    } else {
        if (size > block_size - used_) {
            write_out(buffer_, used_);
            used_ = 0;
        }
        std::memcpy(buffer_ + used_, data, size);
        used_ += size;
    }
    count_room();
}

char* text_output::make_room(std::size_t size) {
    release_lines();
    if (size > largest_reserve) return nullptr;
    if (size > block_size - used_) {
        write_out(buffer_, used_);
        used_ = 0;
    }
    count_room();
    return buffer_ + used_;
}

void text_output::release_lines() {
    if (run_size_ == 0) return;
    const char* run = run_;
    std::size_t size = run_size_;
    run_ = nullptr;
    run_size_ = 0;
    append(run, size);
}

void text_output::start_run(const char* data, std::size_t size) {
    release_lines();
    run_ = data;
    run_size_ = size;
    count_room();
}

void text_output::write_bytes(std::string_view bytes) {
    release_lines();
    append(bytes.data(), bytes.size());
}

void text_output::write_text(std::string_view text) {
    release_lines();
    for (;;) {
        std::size_t lf = text.find('\n');
        if (lf == std::string_view::npos) break;
        append(text.data(), lf);
        append("\r\n", 2);
        text.remove_prefix(lf + 1);
    }
    append(text.data(), text.size());
}

bool text_output::close() {
    if (file_ == os::no_handle) return !failed_;
    flush();
    if (!os::close_file(file_)) failed_ = true;
    file_ = os::no_handle;
    return !failed_;
}

}  // namespace textio
