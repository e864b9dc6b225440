#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "textio/os_file.h"
#include "textio/text_line.h"

namespace textio {

// Size of one read and of the output buffer. Fuzz builds shrink it to a few bytes, so that
// block ends fall everywhere in short inputs.
#ifndef TEXTIO_BLOCK_SIZE
#define TEXTIO_BLOCK_SIZE (256 * 1024)
#endif
constexpr std::size_t block_size = TEXTIO_BLOCK_SIZE;

// Why keep_lines() stopped.
enum class line_stop {
    scanned_all,  // no line end left in the bytes scanned; scan_more() may find more
    not_kept,     // a clean line that look() did not keep
    not_clean,    // a line with a CR out of place or a bare LF: cut_line() first
};

// A text file read in large blocks under the tools' reading rules: every CR byte is dropped
// wherever it stands, the first Ctrl-Z byte ends the file, and every other byte (NUL and 0x80 to
// 0xFF included) passes unchanged. Lines are physical lines of any length: a line longer than a
// block is gathered whole.
//
// Reading goes block by block: the lines of the bytes read so far are handed out, and refill()
// reads the next block, which may move or overwrite the bytes of earlier lines.
//
// Line ends are found 64 bytes at a time. Where a stretch of the file holds CR only right before
// LF and LF only right after CR (a clean CR LF file), its lines stand in the buffer as they are
// written out, CR LF included, and are handed out without looking at their bytes again.
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

    // Hands each clean line to look(line), in order, for as long as look keeps it (returns true);
    // stops at the first line it does not keep, at the first line that is not clean, or when the
    // line ends scanned so far are used up. The line it stopped at runs from `start` to its LF at
    // `lf`. Nothing here calls out, so the loop keeps its variables in registers.
    template <class Look>
    line_stop keep_lines(Look& look, std::size_t& start, std::size_t& lf);

    // Scans on for line ends in the bytes read; false when there are none left to scan.
    bool scan_more();

    // After the lines with a line feed: the last line of the file, without one.
    bool last_line(text_line& line);

    // The clean line from start to its LF at lf, as it stands.
    text_line clean_line(std::size_t start, std::size_t lf) const {
        return {buffer_ + start, lf - 1 - start, true, true};
    }

    // Cuts the line from start to its LF at lf into written form: every CR dropped, CR LF put in
    // place where a dropped CR left room.
    text_line cut_line(std::size_t start, std::size_t lf);

    // Where the next line starts, and the bytes at an offset of the current block.
    std::size_t position() const { return begin_; }
    const char* bytes_at(std::size_t offset) const { return buffer_ + offset; }

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
    static constexpr std::size_t nowhere = static_cast<std::size_t>(-1);
    static constexpr std::size_t chunks_per_scan = 512;

    void scan();
    void reset();

    os::handle file_ = os::no_handle;
    std::string name_;
    char* buffer_ = nullptr;
    std::size_t capacity_ = 0;
    std::size_t begin_ = 0;    // first byte not yet handed out
    std::size_t end_ = 0;      // end of the bytes read
    std::size_t scanned_ = 0;  // line ends before this offset are known

public:
    // A chunk of the last scan: where it starts, its LF bytes (one bit each), and whether it
    // keeps the text clean: every LF right after a CR, every CR right before an LF.
    struct chunk_record {
        std::size_t offset;
        std::uint64_t lf;
        bool clean;
    };

private:
    std::array<chunk_record, chunks_per_scan> chunks_{};
    std::size_t chunks_scanned_ = 0;
    std::size_t next_chunk_ = 0;      // the first of them not yet entered
    bool cr_before_scanned_ = false;  // the byte before scanned_ is CR

    std::size_t chunk_ = 0;             // where the chunk being handed out starts
    std::uint64_t line_ends_ = 0;       // its LF bytes not yet handed out
    std::size_t clean_from_ = nowhere;  // [clean_from_, end of that chunk) is clean CR LF text

    bool at_end_ = false;
    bool failed_ = false;
};

template <class Look>
line_stop text_input::keep_lines(Look& look, std::size_t& start, std::size_t& lf) {
    char* const buffer = buffer_;
    std::size_t begin = begin_;
    std::size_t chunk = chunk_;
    std::size_t clean_from = clean_from_;
    std::uint64_t ends = line_ends_;
    std::size_t next = next_chunk_;
    line_stop stop;
    for (;;) {
        if (ends == 0) {
            if (next == chunks_scanned_) {
                stop = line_stop::scanned_all;
                break;
            }
            const chunk_record& entered = chunks_[next];
            chunk = entered.offset;
            ends = entered.lf;
            if (!entered.clean) {
                clean_from = nowhere;
            } else if (clean_from == nowhere) {
                clean_from = chunk;
            }
            ++next;
            continue;
        }
        lf = chunk + static_cast<std::size_t>(std::countr_zero(ends));
        ends &= ends - 1;
        start = begin;
        begin = lf + 1;
        // In a clean stretch the byte before an LF is a CR of the same line: a line starting
        // at the stretch's first byte follows a CR, never an LF.
        if (start < clean_from) {
            stop = line_stop::not_clean;
            break;
        }
        text_line line{buffer + start, lf - 1 - start, true, true};
        if (!look(line)) {
            stop = line_stop::not_kept;
            break;
        }
    }
    begin_ = begin;
    chunk_ = chunk;
    clean_from_ = clean_from;
    line_ends_ = ends;
    next_chunk_ = next;
    return stop;
}

// Drops every CR byte of data[0, size) in place and returns the new size.
std::size_t drop_carriage_returns(char* data, std::size_t size);

}  // namespace textio
