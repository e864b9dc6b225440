#include "textio/text_input.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace textio {

namespace {
constexpr char ctrl_z = 0x1A;
}

std::size_t drop_carriage_returns(char* data, std::size_t size) {
    char* end = data + size;
    char* cr = static_cast<char*>(std::memchr(data, '\r', size));
    if (!cr) return size;
    char* to = cr;
    const char* from = cr + 1;
    while (from < end) {
        const char* next = static_cast<const char*>(std::memchr(from, '\r', end - from));
        const char* stop = next ? next : end;
        std::memmove(to, from, stop - from);
        to += stop - from;
        from = stop + 1;
    }
    return to - data;
}

text_input::~text_input() {
    close();
    std::free(buffer_);
}

void text_input::close() {
    if (file_ != os::no_handle) os::close_file(file_);
    file_ = os::no_handle;
}

void text_input::attach(os::handle file, std::string_view name) {
    close();
    file_ = file;
    name_.assign(name);
    begin_ = end_ = no_lf_before_ = 0;
    at_end_ = failed_ = false;
}

bool text_input::open(std::string_view name) {
    close();
    name_.assign(name);
    if (name.find('\0') != std::string_view::npos) return false;
    os::handle file = os::open_for_reading(name_.c_str());
    if (file == os::no_handle) return false;
    if (os::identify(file).directory) {
        os::close_file(file);
        return false;
    }
    attach(file, name);
    return true;
}

bool text_input::rewind() {
    if (!os::rewind_file(file_)) return false;
    begin_ = end_ = no_lf_before_ = 0;
    at_end_ = failed_ = false;
    return true;
}

bool text_input::next_line(text_line& line) {
    char* start = buffer_ + begin_;
    std::size_t left = end_ - begin_;
    if (left == 0) return false;
    // A long line arriving in many short reads is searched once, not once per read.
    std::size_t searched = no_lf_before_ > begin_ ? no_lf_before_ - begin_ : 0;
    auto* lf = static_cast<char*>(std::memchr(start + searched, '\n', left - searched));
    if (!lf) {
        no_lf_before_ = end_;
        if (!at_end_) return false;
        begin_ = end_;
        line = {start, drop_carriage_returns(start, left), false, false};
        return true;
    }
    begin_ = static_cast<std::size_t>(lf + 1 - buffer_);
    std::size_t size = static_cast<std::size_t>(lf - start);
    // The usual case: a CR LF line end and no other CR, already in written form.
    if (size > 0 && lf[-1] == '\r' && !std::memchr(start, '\r', size - 1)) {
        line = {start, size - 1, true, true};
        return true;
    }
    std::size_t kept = drop_carriage_returns(start, size);
    if (kept < size) {
        // At least one CR made room for the written line end.
        start[kept] = '\r';
        start[kept + 1] = '\n';
        line = {start, kept, true, true};
    } else {
        line = {start, kept, true, false};
    }
    return true;
}

bool text_input::refill() {
    if (at_end_ || failed_ || file_ == os::no_handle) return false;
    // What is left is the start of a line whose end is still to come.
    std::size_t left = end_ - begin_;
    if (left > 0 && begin_ > 0) std::memmove(buffer_, buffer_ + begin_, left);
    no_lf_before_ = no_lf_before_ > begin_ ? no_lf_before_ - begin_ : 0;
    begin_ = 0;
    end_ = left;
    if (capacity_ - left < block_size / 2) {
        std::size_t grown = capacity_ == 0 ? block_size : capacity_ * 2;
        char* bigger = static_cast<char*>(std::realloc(buffer_, grown));
        if (!bigger) throw std::bad_alloc();
        buffer_ = bigger;
        capacity_ = grown;
    }
    std::ptrdiff_t got = os::read_block(file_, buffer_ + end_, capacity_ - end_);
    if (got < 0) {
        failed_ = true;
        return false;
    }
    if (got == 0) {
        at_end_ = true;
        return left > 0;
    }
    char* fresh = buffer_ + end_;
    end_ += static_cast<std::size_t>(got);
    if (auto* stop = static_cast<char*>(std::memchr(fresh, ctrl_z, static_cast<std::size_t>(got)))) {
        end_ = static_cast<std::size_t>(stop - buffer_);
        at_end_ = true;
    }
    return true;
}

}  // namespace textio
