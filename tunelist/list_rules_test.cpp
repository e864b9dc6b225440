#include "tunelist/list_rules.h"

#include <string>

#include <gtest/gtest.h>

namespace tunelist {
namespace {

// The content a line goes out with once an edit is applied.
std::string edited(std::string_view content, const line_edit& edit) {
    return std::string(edit.head_text()) + std::string(content.substr(edit.keep_from));
}

TEST(IncludeLine, WordAtPositionsOneToSeven) {
    struct {
        const char* line;
        bool include;
    } rows[] = {
        {"#include field.txt", true},
        {"\tinclude field.txt", true},
        {".include", true},          // just long enough: names the empty fragment
        {"include field.txt", false},  // the word at position 0
        {"#includ", false},            // too short to hold the word
        {"#Include field.txt", false},
        {"##include field.txt", false},
        {"", false},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.line);
        EXPECT_EQ(r.include, is_include_line(r.line));
    }
}

TEST(FragmentName, FromPositionNineToTheEndUntrimmed) {
    const std::string long_name(300, 'n');
    struct {
        std::string line;
        std::string name;
    } rows[] = {
        {"#include field.txt", "field.txt"},
        {"#include  field.txt", " field.txt"},         // a second space belongs to the name
        {"#include\tmy songs.txt \t", "my songs.txt \t"},  // nothing trimmed
        {"#include:field.txt", "field.txt"},            // position 8 is not looked at
        {"#include ", ""},
        {"#include", ""},
        {"#include " + long_name, long_name},
        {std::string("#include a\0b", 12), std::string("a\0b", 3)},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.line);
        EXPECT_EQ(r.name, fragment_name(r.line));
    }
}

TEST(MarkerLine, SetsTheCounterAndLosesTheStar) {
    struct {
        const char* line;
        const char* written;
        std::int32_t counter;
    } rows[] = {
        {"s*010=title,1", "s010=title,1", 10},
        {"s*7=jingle,1", "s7=jingle,1", 7},
        {"s*5", "s5", 5},
        {"s*=x,1", "s=x,1", 0},  // no digits reads as 0
        {"s*", "s", 0},
        {"s*12a34", "s12a34", 12},
        {"s*0000000000000000042", "s0000000000000000042", 42},
        {"s*2147483647", "s2147483647", 2147483647},
        {"s*2147483648", "s2147483648", 2147483647},  // saturates
        {"s*99999999999999999999", "s99999999999999999999", 2147483647},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.line);
        std::int32_t counter = 500;
        line_edit edit = apply_marker_line(r.line, counter);
        EXPECT_EQ(r.written, edited(r.line, edit));
        EXPECT_EQ(r.counter, counter);
    }
}

TEST(RenumberSongLine, WritesTheNextNumberIntoTheField) {
    struct {
        const char* line;
        std::int32_t before;
        const char* written;
    } rows[] = {
        {"s000=b,1", 0, "s001=b,1"},
        {"s000=b,1", 9, "s010=b,1"},
        {"s000=b,1", 99, "s100=b,1"},
        {"s000=b,1", 998, "s999=b,1"},
        {"s000=b,1", 999, "s1000=b,1"},  // a fourth digit is pushed in, never cut off
        {"s000=b,1", 123455, "s123456=b,1"},
        {"s12=x,1", 12, "s013x,1"},        // the field is fixed: the '=' goes
        {"sound effect", 0, "s001d effect"},
        {"s", 4, "s005"},
        {"s1", 4, "s005"},
        {"s12", 4, "s005"},
        {"s123", 4, "s005"},
        {"s", 999, "s1000"},
        {"s000=b,1", 2147483646, "s2147483647=b,1"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.line);
        std::int32_t counter = r.before;
        line_edit edit = renumber_song_line(r.line, counter);
        EXPECT_EQ(r.written, edited(r.line, edit));
        EXPECT_EQ(r.before + 1, counter);
    }
}

TEST(RenumberSongLine, CounterStopsAtItsLimit) {
    std::int32_t counter = counter_limit;
    EXPECT_EQ("s2147483647=b,1", edited("s000=b,1", renumber_song_line("s000=b,1", counter)));
    EXPECT_EQ(counter_limit, counter);
}

TEST(FragmentRules, FirstRuleThatHolds) {
    struct {
        const char* line;
        bool renumber;
        const char* written;  // nullptr: unchanged
        std::int32_t counter;
    } rows[] = {
        {"s*5=a,1", false, "s5=a,1", 5},  // markers apply with renumbering off
        {"s*5=a,1", true, "s5=a,1", 5},   // a marker is not renumbered
        {"s000=a,1", false, nullptr, 20},
        {"s000=a,1", true, "s021=a,1", 21},
        {"sx", true, "s021", 21},
        {"S000=a,1", true, nullptr, 20},  // upper-case S never
        {"#include x.txt", true, nullptr, 20},
        {"", true, nullptr, 20},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.line);
        std::int32_t counter = 20;
        auto edit = apply_fragment_rules(r.line, counter, r.renumber);
        ASSERT_EQ(r.written != nullptr, edit.has_value());
        if (edit) {
            EXPECT_EQ(r.written, edited(r.line, *edit));
        }
        EXPECT_EQ(r.counter, counter);
    }
}

}  // namespace
}  // namespace tunelist
