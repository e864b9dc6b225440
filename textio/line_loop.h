#pragma once

#include "textio/text_input.h"
#include "textio/text_output.h"

namespace textio {

// Calls rule(line) for every line of `in`, in order, until the rule returns false. The rule
// writes what it wants to `out`; lines written unchanged are gathered into runs, released before
// the next block is read. False when reading failed partway.
template <class Rule>
bool for_each_line(text_input& in, text_output& out, Rule&& rule) {
    text_line line;
    do {
        while (in.next_line(line)) {
            if (!rule(line)) {
                out.release_lines();
                return true;
            }
        }
        out.release_lines();
    } while (in.refill());
    return !in.failed();
}

}  // namespace textio
