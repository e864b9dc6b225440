#include "tunehdr/song_entry.h"
#include "tunehdr/write_define.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace tunehdr {
namespace {

TEST(StripLeadingZeros, KeepsOneDigit) {
    struct {
        const char* in;
        const char* out;
    } rows[] = {{"007", "7"},   {"010", "10"}, {"100", "100"},
                {"000", "0"},   {"0", "0"},    {"0000000000000000000012345678901234", "12345678901234"}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.in);
        EXPECT_EQ(r.out, strip_leading_zeros(r.in));
    }
}

TEST(SkipSeparators, OnlySpaceEqualsAndTab) {
    struct {
        const char* line;
        std::size_t from;
        std::size_t to;
    } rows[] = {
        {"s1==title,1", 2, 4},
        {"s1 =\t= title,1", 2, 7},
        {"s1:title,1", 2, 2},  // nothing else is a separator
        {"s1=,1", 2, 3},       // stops at the comma
        {"s1= \t", 2, 5},      // or at the end
        {"s1", 2, 2},
        {"s1", 5, 2},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.line);
        EXPECT_EQ(r.to, skip_separators(r.line, r.from));
    }
}

TEST(ToUpperAscii, BytesFrom0x61To0x7F) {
    struct {
        std::string in;
        std::string out;
    } rows[] = {
        {"field theme_2", "FIELD THEME_2"},
        {"{|}~\x7f", "[\\]^_"},
        {"AZ09_ `@", "AZ09_ `@"},
        {"\x80\xff\xe0", "\x80\xff\xe0"},
        {"\x83\x62\x83\x7e\x83\x80", "\x83\x42\x83\x5e\x83\x80"},  // Shift_JIS second bytes change
        {std::string("a\0b", 3), std::string("A\0B", 3)},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.in);
        std::string text = r.in;
        to_upper_ascii(text.data(), text.size());
        EXPECT_EQ(r.out, text);
    }
}

TEST(StartsWith, WholePrefixNeeded) {
    EXPECT_TRUE(starts_with("MUS_", "MUS_TITLE"));
    EXPECT_TRUE(starts_with("SE_", "SE_"));
    EXPECT_FALSE(starts_with("SE_", "SE"));
    EXPECT_FALSE(starts_with("SE_", "SEQ"));
    EXPECT_FALSE(starts_with("MUS_", ""));
}

TEST(ApplyNamePrefix, OnePrefixAlways) {
    struct {
        const char* in;
        const char* out;
    } rows[] = {
        {"TITLE", "MUS_TITLE"}, {"MUS_TITLE", "MUS_TITLE"}, {"SE_JUMP", "SE_JUMP"},
        {"SEQ", "MUS_SEQ"},     {"SE", "MUS_SE"},           {"MUS", "MUS_MUS"},
        {"", "MUS_"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.in);
        std::string name = r.in;
        apply_name_prefix(name);
        EXPECT_EQ(r.out, name);
    }
}

TEST(ConvertSongEntry, NameAndNumber) {
    const std::string long_name(1000, 'x');
    struct {
        std::string line;
        std::string name;
        std::string number;
    } rows[] = {
        {"s001=title,1", "MUS_TITLE", "1"},
        {"s120 se_jump,1", "SE_JUMP", "120"},
        {"s000=mus_intro,1", "MUS_INTRO", "0"},
        {"s07 = Field Theme,1", "MUS_FIELD THEME", "7"},
        {"s3,1", "MUS_", "3"},
        {"s1==title,1", "MUS_TITLE", "1"},
        {"s1=title =x,1", "MUS_TITLE =X", "1"},  // separators after the name stay
        {"s1:title,1", "MUS_:TITLE", "1"},
        {"s1=Se_Jump,1", "SE_JUMP", "1"},
        {"s1=seq,1", "MUS_SEQ", "1"},
        {"s1define,1", "MUS_DEFINE", "1"},
        {"s5=no comma", "MUS_NO COMMA", "5"},  // the name runs to the end of the line
        {"s5", "MUS_", "5"},
        {"s5= \t", "MUS_", "5"},
        {"s1=a,b,c", "MUS_A", "1"},
        {"s00000000001234567890123=x,1", "MUS_X", "1234567890123"},
        {"s1=" + long_name + ",1", "MUS_" + std::string(1000, 'X'), "1"},
        {"s1=\x83\x62\x81\x40,1", "MUS_\x83\x42\x81\x40", "1"},
        {std::string("s1=a\0b,1", 8), std::string("MUS_A\0B", 7), "1"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.line);
        // Digits, a comma and letters just past the line must not be taken for part of it.
        std::string padded = r.line + "0,_eMUS_";
        song_entry entry = convert_song_entry(std::string_view(padded).substr(0, r.line.size()));
        std::string symbol = std::string(entry.prefix) + std::string(entry.name);
        to_upper_ascii(symbol.data(), symbol.size());
        EXPECT_EQ(r.name, symbol);
        EXPECT_EQ(r.number, entry.number);
    }
}

// The #define a song entry line must give, from its parts.
std::string expected_define(const std::string& line) {
    std::string padded = line + "0,_eMUS_0,_eMUS_";
    song_entry entry = convert_song_entry(std::string_view(padded).substr(0, line.size()));
    std::string symbol = std::string(entry.prefix) + std::string(entry.name);
    to_upper_ascii(symbol.data(), symbol.size());
    return "#define\t" + symbol + "\t" + std::string(entry.number) + "\r\n";
}

TEST(WriteDefine, EveryWayAgreesWithTheParts) {
    std::vector<std::string> lines = {
        "s001=title,1", "s120 se_jump,1", "s07 = Field Theme,1", "s3,1", "s5=no comma", "s5",
        "s5= \t", "s1=Se_Jump,1", "s1=se,1", "s1=SE_", "s1=mus_", "s1=MUS", "s000=x,1",
        "s0000000000000000000000123=x,1", "s12345678901234567=x", "s1=" + std::string(40, 'q') + ",1",
        "s1" + std::string(20, ' ') + "name,1", "s1=\x83\x62{|}~\x7f,1", std::string("s1=a\0b,1", 9),
    };
    std::uint32_t seed = 99;
    const char pieces[] = {'s', '0', '7', '=', ' ', '\t', ',', 'a', 'Z', '_', 'M', 'U', 'S', 'E', '\x83'};
    for (int i = 0; i < 3000; ++i) {
        std::string line = "s";
        line += static_cast<char>('0' + i % 10);
        seed = seed * 1103515245u + 12345u;
        std::size_t length = (seed >> 16) % 40;
        for (std::size_t k = 0; k < length; ++k) {
            seed = seed * 1103515245u + 12345u;
            line += pieces[(seed >> 16) % sizeof pieces];
        }
        lines.push_back(line);
    }
    for (const auto& line : lines) {
        // Slack past the line that must never be taken for part of it: bytes that would finish
        // a prefix (SE_, MUS_) or carry the digits and the name on, then random ones.
        for (std::string slack : {"_", "S_", "US_", "0", ""}) {
            SCOPED_TRACE(line + " | slack " + slack);
            while (slack.size() < textio::line_slack) {
                seed = seed * 1103515245u + 12345u;
                slack += pieces[(seed >> 16) % sizeof pieces];
            }
            std::string padded = line + slack;
            std::string_view text = std::string_view(padded).substr(0, line.size());
            const std::string expected = expected_define(line);
            std::string to(line.size() + define_size_beyond_line + textio::line_slack, '?');
            to.resize(write_define_words(to.data(), text));
            EXPECT_EQ(expected, to);
#ifdef TEXTIO_SSE2
            // The sixteen-byte way reads lines of clean text, which CR follows.
            std::string crlf = line + "\r\n" + slack;
            std::string wide(line.size() + define_size_beyond_line + textio::line_slack, '?');
            wide.resize(write_define_sse2(wide.data(), std::string_view(crlf).substr(0, line.size())));
            EXPECT_EQ(expected, wide);
#endif
        }
    }
}

TEST(LineKinds, SongEntryFirstThenHeader) {
    struct {
        const char* line;
        bool song_entry;
        bool header;
    } rows[] = {
        {"s1define,1", true, true},  // the writer tests song entries first
        {"sxdefine X 1", false, true},
        {";#define X 1", false, true},
        {"abdefi", false, true},
        {"; defi", false, true},
        {";#def", false, false},  // too short
        {"S001=x,1", false, false},
        {"s", false, false},
        {"s=001", false, false},
        {";#DEFINE X", false, false},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.line);
        EXPECT_EQ(r.song_entry, is_song_entry_line(r.line));
        EXPECT_EQ(r.header, is_header_line(r.line));
    }
}

}  // namespace
}  // namespace tunehdr
