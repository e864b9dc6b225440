#pragma once

#include <string_view>

#include "textio/text_input.h"
#include "textio/text_output.h"

// Per-line work that must be folded into the line loop, whatever the compiler's own judgement of
// its size, and rare work that must stay out of it.
#if defined(__GNUC__) || defined(__clang__)
#define TEXTIO_INLINE __attribute__((always_inline))
#define TEXTIO_NOINLINE __attribute__((noinline))
#elif defined(_MSC_VER)
#define TEXTIO_INLINE
#define TEXTIO_NOINLINE __declspec(noinline)
#else
#define TEXTIO_INLINE
#define TEXTIO_NOINLINE
#endif

namespace textio {

// Copies the lines of `in` to `out`, in order. For each line, look(line) says whether it goes
// out as it stands: unchanged, or edited in place without a change of length; when it says no,
// it has changed nothing. Lines that go out as they stand are gathered into runs and written a
// run at a time; for any other line, replace(line) writes what goes out instead (or nothing)
// and returns false to stop the copy there. False when reading failed partway.
template <class Look, class Replace>
bool copy_lines(text_input& in, text_output& out, Look&& look, Replace&& replace) {
    std::size_t start = 0;
    std::size_t lf = 0;
    do {
        std::size_t run = in.position();  // the lines from here on go out as they stand
        auto write_run = [&](std::size_t upto) {
            out.write_bytes(std::string_view(in.bytes_at(run), upto - run));
        };
        // A line that does not stand in the buffer as it goes out.
        auto keep_or_replace = [&](text_line& line) {
            if (!look(line)) return replace(line);
            out.write_line(line);
            return true;
        };
        bool go_on = true;
        while (go_on) {
            line_stop stop = in.keep_lines(look, start, lf);
            if (stop == line_stop::scanned_all) {
                if (in.scan_more()) continue;
                break;
            }
            write_run(start);
            run = lf + 1;
            if (stop == line_stop::not_kept) {
                text_line line = in.clean_line(start, lf);
                go_on = replace(line);
            } else {
                text_line line = in.cut_line(start, lf);
                go_on = keep_or_replace(line);
            }
        }
        if (go_on) {
            write_run(in.position());
            text_line line;
            if (in.last_line(line)) go_on = keep_or_replace(line);
        }
        out.release_lines();  // nothing may point into the block once it is refilled
        if (!go_on) return true;
    } while (in.refill());
    return !in.failed();
}

// Hands every line of `in` to visit(line), in order, for a tool that writes something of its own
// for each line rather than copying lines. What visit writes to `out` may point into the input's
// block; it is released before the next block is read. False when reading failed partway.
template <class Visit>
bool visit_lines(text_input& in, text_output& out, Visit visit) {
    auto visit_and_go_on = [&visit](text_line& line) TEXTIO_INLINE {
        visit(line);
        return true;
    };
    std::size_t start = 0;
    std::size_t lf = 0;
    do {
        for (;;) {
            // Every clean line is visited inside keep_lines(); it stops only at the others.
            if (in.keep_lines(visit_and_go_on, start, lf) == line_stop::scanned_all) {
                if (in.scan_more()) continue;
                break;
            }
            text_line line = in.cut_line(start, lf);
            visit(line);
        }
        text_line line;
        if (in.last_line(line)) visit(line);
        out.release_lines();
    } while (in.refill());
    return !in.failed();
}

}  // namespace textio
