#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/reference.h"
#include "tests/tool_run.h"
#include "textio/line_loop.h"
#include "textio/line_scan.h"
#include "textio/text_input.h"
#include "textio/text_output.h"

namespace textio {
namespace {

using tool_run::scratch_dir;

using reference::as_copied;

struct read_line {
    std::string content;
    bool newline;
    bool operator==(const read_line&) const = default;
};

std::vector<read_line> read_lines(const scratch_dir& dir, std::string_view bytes) {
    dir.write("in", bytes);
    text_input in;
    EXPECT_TRUE(in.open((dir / "in").string()));
    std::vector<read_line> lines;
    text_line line;
    do {
        while (in.next_line(line)) lines.push_back({std::string(line.content()), line.newline});
    } while (in.refill());
    EXPECT_FALSE(in.failed());
    return lines;
}

// Copies a file line by line through the block-wise output and gives the bytes written.
std::string copy_file(const scratch_dir& dir, std::string_view bytes) {
    dir.write("in", bytes);
    text_input in;
    text_output out;
    EXPECT_TRUE(in.open((dir / "in").string()));
    EXPECT_TRUE(out.open((dir / "out").string()));
    auto as_it_stands = [](text_line&) { return true; };
    auto never = [](text_line&) {
        ADD_FAILURE() << "every line goes out as it stands";
        return false;
    };
    EXPECT_TRUE(copy_lines(in, out, as_it_stands, never));
    EXPECT_TRUE(out.close());
    return dir.read("out");
}

TEST(TextInput, ReadingRules) {
    using lines = std::vector<read_line>;
    struct {
        std::string bytes;
        lines expected;
    } rows[] = {
        {"", {}},
        {"a\r\nb\n", {{"a", true}, {"b", true}}},
        {"a\rb\r\r\n", {{"ab", true}}},  // a CR anywhere is dropped
        {"abc", {{"abc", false}}},
        {"abc\r", {{"abc", false}}},
        {"\n\r\n", {{"", true}, {"", true}}},
        {"a\nb\x1a" "c\n", {{"a", true}, {"b", false}}},  // Ctrl-Z ends the file
        {"\x1a" "a\n", {}},
        {std::string("a\0b\n", 4), {{std::string("a\0b", 3), true}}},
        {"\x80\xff\x83\x62\n", {{"\x80\xff\x83\x62", true}}},
    };
    scratch_dir dir;
    for (const auto& r : rows) {
        SCOPED_TRACE(tool_run::hex_dump(r.bytes));
        EXPECT_EQ(r.expected, read_lines(dir, r.bytes));
        EXPECT_BYTES(as_copied(r.bytes), copy_file(dir, r.bytes));
    }
}

TEST(TextInput, LinesAcrossBlockEnds) {
    const std::size_t b = block_size;
    const std::string row(b - 1, 'x');
    struct {
        const char* what;
        std::string bytes;
    } rows[] = {
        {"a line straddles two blocks", std::string(b - 10, 'a') + "\r\n" + std::string(30, 'b') + "\r\n"},
        {"CR LF split between blocks", row + "\r\nnext\r\n"},
        {"CR last byte of a block, not before LF", row + "\rz\n"},
        {"Ctrl-Z in the second block", row + "\r\nkept\r\ncut\x1a" "dropped\r\n"},
        {"one line of four blocks", std::string(4 * b + 3, 's') + "\r\ntail"},
        {"one line of four blocks without CR", std::string(4 * b + 3, 's') + "\ntail\n"},
    };
    scratch_dir dir;
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        EXPECT_BYTES(as_copied(r.bytes), copy_file(dir, r.bytes));
    }
}

TEST(TextInput, MixedLineEndsOverManyBlocks) {
    // Short and long lines, lone CRs and both line ends, at every offset from the block ends.
    std::string bytes;
    std::uint32_t seed = 12345;
    while (bytes.size() < 3 * block_size) {
        seed = seed * 1103515245u + 12345u;
        std::size_t length = (seed >> 16) % 97;
        if ((seed >> 8) % 50 == 0) length = (seed >> 4) % (block_size / 3);
        bytes.append(length, static_cast<char>('a' + seed % 26));
        switch ((seed >> 12) % 4) {
            case 0: bytes += "\r\n"; break;
            case 1: bytes += "\n"; break;
            case 2: bytes += "\r"; break;
            default: bytes += "\r\r\n"; break;
        }
    }
    scratch_dir dir;
    EXPECT_BYTES(as_copied(bytes), copy_file(dir, bytes));
}

TEST(TextInput, LineEndsAroundChunkEdges) {
    // One odd line end (a lone CR, a bare LF, CR CR LF) or a Ctrl-Z at every offset across the
    // first chunks of otherwise clean CR LF text; both ways of reading must agree with the rules.
    const std::string clean = [] {
        std::string text;
        for (int i = 0; text.size() < 300; ++i) text += "s00" + std::to_string(i % 10) + "=a\r\n";
        return text;
    }();
    scratch_dir dir;
    for (const char* odd : {"\r", "\n", "\r\r\n", "\x1a", "\r\n\r\n"}) {
        for (std::size_t at = 0; at < 200; ++at) {
            std::string bytes = clean;
            bytes.insert(at, odd);
            SCOPED_TRACE(tool_run::hex_dump(odd) + " at " + std::to_string(at));
            ASSERT_EQ(as_copied(bytes), copy_file(dir, bytes));
            std::string through_next_line;
            for (const auto& line : read_lines(dir, bytes))
                through_next_line += line.content + (line.newline ? "\r\n" : "");
            ASSERT_EQ(as_copied(bytes), through_next_line);
        }
    }
}

TEST(LineScan, EveryWayOfFindingLineEndsAgrees) {
    std::uint32_t seed = 7;
    char chunk[64];
    for (int round = 0; round < 2000; ++round) {
        for (char& c : chunk) {
            seed = seed * 1103515245u + 12345u;
            const char pick[] = {'\r', '\n', 'a', '\0', '\x8d', '\x8a'};
            c = pick[(seed >> 16) % 6];
        }
        byte_masks expected = find_line_bytes_bytewise(chunk, 64);
        byte_masks found = find_line_bytes(chunk);
        ASSERT_EQ(expected.lf, found.lf);
        ASSERT_EQ(expected.cr, found.cr);
#ifdef TEXTIO_AVX2
        if (has_avx2()) {
            byte_masks wide = find_line_bytes_avx2(chunk);
            ASSERT_EQ(expected.lf, wide.lf);
            ASSERT_EQ(expected.cr, wide.cr);
        }
#endif
    }
}

TEST(TextInput, RefusesWhatCannotBeRead) {
    scratch_dir dir;
    dir.write("file", "x\n");
    std::filesystem::create_directory(dir / "folder");
    text_input in;
    EXPECT_FALSE(in.open((dir / "missing").string()));
    EXPECT_FALSE(in.open((dir / "folder").string()));
    EXPECT_FALSE(in.open((dir / "file").string() + std::string(1, '\0') + "more"));
    EXPECT_TRUE(in.open((dir / "file").string()));
}

TEST(TextOutput, WritesLineFeedsAsCrLf) {
    scratch_dir dir;
    text_output out;
    ASSERT_TRUE(out.open((dir / "out").string()));
    out.write_text("one\ntwo\n\nthree");
    out.write_bytes(std::string("\0\r", 2));
    ASSERT_TRUE(out.close());
    EXPECT_BYTES(std::string("one\r\ntwo\r\n\r\nthree\0\r", 19), dir.read("out"));
}

TEST(TextOutput, RemembersAFailedWrite) {
    text_output out;
    ASSERT_TRUE(out.open("/dev/full"));
    out.write_text("song list\n");
    EXPECT_FALSE(out.close());
    EXPECT_TRUE(out.failed());
}

}  // namespace
}  // namespace textio
