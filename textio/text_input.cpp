#include "textio/text_input.h"

#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <new>

#include "textio/line_scan.h"

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

void text_input::reset() {
    begin_ = end_ = scanned_ = chunk_ = 0;
    chunks_scanned_ = next_chunk_ = 0;
    line_ends_ = 0;
    clean_from_ = nowhere;
    cr_before_scanned_ = false;
    at_end_ = failed_ = false;
}

void text_input::attach(os::handle file, std::string_view name) {
    close();
    file_ = file;
    name_.assign(name);
    reset();
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
    reset();
    return true;
}

namespace {

using chunk_record = text_input::chunk_record;

// Records one chunk of `size` bytes; gives whether its last byte is CR, for the next chunk.
inline bool record_chunk(chunk_record& to, std::size_t offset, byte_masks m, std::size_t size,
                         bool cr_before) {
    std::uint64_t lf_after_cr = (m.cr << 1) | std::uint64_t{cr_before};
    if (size < chunk_size) lf_after_cr &= (std::uint64_t{1} << size) - 1;
    to = {offset, m.lf, m.lf == lf_after_cr};
    return (m.cr >> (size - 1)) & 1;
}

bool scan_full_chunks(const char* buffer, std::size_t at, std::size_t count, bool cr_before,
                      chunk_record* to) {
    for (std::size_t i = 0; i < count; ++i, at += chunk_size)
        cr_before = record_chunk(to[i], at, find_line_bytes(buffer + at), chunk_size, cr_before);
    return cr_before;
}

#ifdef TEXTIO_AVX2
__attribute__((target("avx2"))) bool scan_full_chunks_avx2(const char* buffer, std::size_t at,
                                                           std::size_t count, bool cr_before,
                                                           chunk_record* to) {
    for (std::size_t i = 0; i < count; ++i, at += chunk_size)
        cr_before = record_chunk(to[i], at, find_line_bytes_avx2(buffer + at), chunk_size, cr_before);
    return cr_before;
}
#endif

}  // namespace

// Finds the line ends in the bytes read but not yet scanned, up to 512 chunks of 64 bytes (at
// the end of the file the last chunk may be shorter), and whether each chunk keeps the text
// clean. A CR that is the last byte scanned is judged with the next chunk.
void text_input::scan() {
    std::size_t at = scanned_;
    std::size_t count = std::min((end_ - at) / chunk_size, chunks_per_scan);
    bool cr_before = cr_before_scanned_;
#ifdef TEXTIO_AVX2
    if (has_avx2())
        cr_before = scan_full_chunks_avx2(buffer_, at, count, cr_before, chunks_.data());
    else
#endif
        cr_before = scan_full_chunks(buffer_, at, count, cr_before, chunks_.data());
    at += count * chunk_size;
    std::size_t tail = end_ - at;
    if (at_end_ && tail > 0 && tail < chunk_size && count < chunks_per_scan) {
        cr_before = record_chunk(chunks_[count], at, find_line_bytes_bytewise(buffer_ + at, tail),
                                 tail, cr_before);
        ++count;
        at += tail;
    }
    chunks_scanned_ = count;
    next_chunk_ = 0;
    cr_before_scanned_ = cr_before;
    scanned_ = at;
}

bool text_input::scan_more() {
    scan();
    return chunks_scanned_ > 0;
}

bool text_input::next_line(text_line& line) {
    auto take_every_line = [](text_line&) { return false; };
    std::size_t start = 0;
    std::size_t lf = 0;
    for (;;) {
        switch (keep_lines(take_every_line, start, lf)) {
            case line_stop::not_kept:
                line = clean_line(start, lf);
                return true;
            case line_stop::not_clean:
                line = cut_line(start, lf);
                return true;
            case line_stop::scanned_all:
                if (!scan_more()) return last_line(line);
                break;
        }
    }
}

bool text_input::last_line(text_line& line) {
    if (!at_end_ || begin_ == end_) return false;
    char* start = buffer_ + begin_;
    line = {start, drop_carriage_returns(start, end_ - begin_), false, false};
    begin_ = end_;
    return true;
}

text_line text_input::cut_line(std::size_t start, std::size_t lf) {
    char* data = buffer_ + start;
    std::size_t size = lf - start;
    if (size > 0 && data[size - 1] == '\r' && !std::memchr(data, '\r', size - 1))
        return {data, size - 1, true, true};
    std::size_t kept = drop_carriage_returns(data, size);
    if (kept == size) return {data, kept, true, false};
    // A dropped CR made room for the written line end.
    data[kept] = '\r';
    data[kept + 1] = '\n';
    return {data, kept, true, true};
}

bool text_input::refill() {
    if (at_end_ || failed_ || file_ == os::no_handle) return false;
    // What is left is the start of a line whose end is still to come; it moves to the front,
    // and what is known about its bytes moves with it.
    std::size_t shift = begin_;
    std::size_t left = end_ - begin_;
    if (left > 0 && shift > 0) std::memmove(buffer_, buffer_ + shift, left);
    begin_ = 0;
    end_ = left;
    scanned_ -= shift;
    chunk_ = scanned_;
    chunks_scanned_ = next_chunk_ = 0;
    line_ends_ = 0;
    if (clean_from_ != nowhere) clean_from_ = clean_from_ > shift ? clean_from_ - shift : 0;
    if (capacity_ - left < block_size / 2) {
        std::size_t grown = capacity_ == 0 ? block_size : capacity_ * 2;
        char* bigger = static_cast<char*>(std::realloc(buffer_, grown + line_slack));
        if (!bigger) throw std::bad_alloc();
        buffer_ = bigger;
        capacity_ = grown;
    }
    std::ptrdiff_t got = os::read_block(file_, buffer_ + end_, capacity_ - end_);
    if (got > 0) {
        char* fresh = buffer_ + end_;
        end_ += static_cast<std::size_t>(got);
        if (auto* stop = static_cast<char*>(std::memchr(fresh, ctrl_z, static_cast<std::size_t>(got)))) {
            end_ = static_cast<std::size_t>(stop - buffer_);
            at_end_ = true;
        }
    }
    std::memset(buffer_ + end_, 0, line_slack);  // the last line's slack
    if (got < 0) {
        failed_ = true;
        return false;
    }
    if (got == 0) {
        at_end_ = true;
        return left > 0;
    }
    return true;
}

}  // namespace textio
