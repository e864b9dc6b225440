// Inputs a build script may hand the tools, run end to end. Each row names only the files and
// the command; what must come out (exit status, messages, the output's bytes) is what the plain
// line-by-line statement of the rules gives, and no input may change.

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/reference.h"
#include "tests/tool_run.h"

namespace {

using tool_run::scratch_dir;
using files = std::map<std::string, std::string>;

enum class tool { tunelist, tunehdr };

struct row {
    const char* what;
    tool program;
    files inputs;
    std::vector<std::string> words;
    std::optional<std::string> piped = std::nullopt;  // the list, through standard input
};

void run_row(const row& r) {
    SCOPED_TRACE(r.what);
    scratch_dir dir;
    for (const auto& [name, bytes] : r.inputs) {
        std::filesystem::create_directories((dir / name).parent_path());
        dir.write(name, bytes);
    }
    const std::string& list = r.piped ? *r.piped : r.inputs.at(r.words.at(0));

    int status = 0;
    std::string shown;
    std::string output;
    std::string written;
    if (r.program == tool::tunelist) {
        reference::assembly expected = reference::assembled(list, r.inputs, r.words.size() > 2);
        status = expected.missing ? 1 : 0;
        shown = expected.progress;
        if (expected.missing) shown += "\r\n" + *expected.missing + " open error\r\n";
        output = r.words.at(1);
        written = expected.written;
    } else {
        output = "mus_def.h";
        written = reference::header_of(list);
    }

    auto result = tool_run::run(r.program == tool::tunelist ? TUNELIST_PROGRAM : TUNEHDR_PROGRAM,
                                r.words, dir.path(), r.piped);
    EXPECT_EQ(status, result.status);
    EXPECT_BYTES(shown, result.out);
    EXPECT_BYTES(written, dir.read(output));
    files after = dir.files();
    after.erase(output);
    EXPECT_EQ(r.inputs.size(), after.size());
    for (const auto& [name, bytes] : r.inputs) {
        SCOPED_TRACE(name);
        EXPECT_BYTES(bytes, after[name]);
    }
}

const std::string sjis_name = "\x83\x54\x83\x45\x83\x93\x83\x68";  // Shift_JIS katakana
const std::string utf8_name = "\xe6\x9b\xb2";                      // UTF-8 ideograph

TEST(BadInput, Names) {
    const row rows[] = {
        {"names with spaces", tool::tunelist,
         {{"my list.def", "#include my songs.txt\r\n#include  lead.txt\r\n"},
          {"my songs.txt", "s*5=a,1\r\n"},
          {" lead.txt", "s000=b,1\r\n"}},
         {"my list.def", "my out.ini", "r"}},
        {"names in Shift_JIS and UTF-8", tool::tunelist,
         {{sjis_name + ".def", "#include " + utf8_name + "/" + sjis_name + ".txt\r\n"},
          {utf8_name + "/" + sjis_name + ".txt", "s000=\x83\x62,1\r\n"}},
         {sjis_name + ".def", utf8_name + ".ini", "r"}},
        {"a missing fragment with a Shift_JIS name", tool::tunelist,
         {{"list.def", "x\r\n#include " + sjis_name + "\xfc\xfc.txt\r\ny\r\n"}},
         {"list.def", "out.ini"}},
        {"a song list with spaces and UTF-8 in its name", tool::tunehdr,
         {{utf8_name + " list.ini", "s1=a,1\r\n"}}, {utf8_name + " list.ini"}},
    };
    for (const auto& r : rows) run_row(r);
}

TEST(BadInput, BinaryFileAsEveryInput) {
    const std::string binary = tool_run::read_file(TUNEHDR_PROGRAM);
    const row rows[] = {
        {"as the definition list", tool::tunelist, {{"list.def", binary}}, {"list.def", "out.ini"}},
        {"as a fragment", tool::tunelist,
         {{"list.def", "#include program\r\n"}, {"program", binary}}, {"list.def", "out.ini", "r"}},
        {"as the song list", tool::tunehdr, {{"list.ini", binary}}, {"list.ini"}},
    };
    for (const auto& r : rows) run_row(r);
}

TEST(BadInput, HugeLines) {
    const std::string no_newline(50'000'000, 'a');
    const std::string long_line(10'000'000, 'b');
    const row rows[] = {
        {"50 MB without a newline as the definition list", tool::tunelist,
         {{"list.def", no_newline}}, {"list.def", "out.ini"}},
        {"50 MB without a newline as a fragment", tool::tunelist,
         {{"list.def", "#include big\r\n"}, {"big", "s000" + no_newline}},
         {"list.def", "out.ini", "r"}},
        {"50 MB without a newline as the song list", tool::tunehdr,
         {{"list.ini", "s1=" + no_newline}}, {"list.ini"}},
        {"a line of 10 MB among others", tool::tunelist,
         {{"list.def", "x" + long_line + "\r\n#include big\r\nlast\r\n"},
          {"big", "s000=" + long_line + "\r\ns000=a,1\r\n"}},
         {"list.def", "out.ini", "r"}},
        {"a header line of 10 MB", tool::tunehdr,
         {{"list.ini", ";#define " + long_line + "\r\ns1=" + long_line + ",1\r\n"}}, {"list.ini"}},
    };
    for (const auto& r : rows) run_row(r);
}

TEST(BadInput, ManyIncludes) {
    std::string ten_thousand;
    for (int i = 0; i < 10000; ++i) {
        ten_thousand += "#include f";
        ten_thousand += static_cast<char>('0' + i % 10);
        ten_thousand += "\r\n";
    }
    std::string one_thousand;
    for (int i = 0; i < 1000; ++i) one_thousand += "#include f\r\n";
    files ten_fragments = {{"list.def", ten_thousand}};
    for (char i = '0'; i <= '9'; ++i) ten_fragments[std::string{'f', i}] = "s000=song,1\r\n; x\r\n";
    const row rows[] = {
        {"10 000 include lines", tool::tunelist, ten_fragments, {"list.def", "out.ini", "r"}},
        {"one fragment included 1000 times", tool::tunelist,
         {{"list.def", one_thousand}, {"f", "s*0\r\ns000=a,1\r\ns000=b,1\r\n"}},
         {"list.def", "out.ini", "r"}},
    };
    for (const auto& r : rows) run_row(r);
}

TEST(BadInput, LinesAcrossReadBlocks) {
    // Song entries up to a chosen byte at the end of the first 256 KiB read, then the awkward
    // bytes there: a line across the boundary, a CR as its last byte, a CR LF split by it, a
    // Ctrl-Z in the second block.
    const std::size_t block = 256 * 1024;
    auto entries_up_to = [](std::size_t size) {
        std::string text;
        for (int i = 0; text.size() + 40 < size; ++i) text += "s000=field_theme,1,2,3\r\n";
        text += ";" + std::string(size - text.size() - 3, 'x') + "\r\n";
        return text;
    };
    const std::string before = entries_up_to(block - 8);  // the boundary falls 8 bytes on
    ASSERT_EQ(block - 8, before.size());
    const std::string tails[] = {
        "s000=across,1\r\ns000=next,1\r\n",     // a song entry across the boundary
        "s000=ab\rx,1\r\ns000=x,1\r\n",          // a lone CR as the block's last byte
        "s000=ab\r\ns000=y,1\r\n",               // CR at 262143, LF at 262144
        "s000=abcdefg\r\ns0\x1a" "00=cut,1\r\n",  // Ctrl-Z in the second block
    };
    for (const auto& tail : tails) {
        const std::string text = before + tail + entries_up_to(block / 2);
        const row rows[] = {
            {"a fragment across read blocks", tool::tunelist,
             {{"list.def", "#include big\r\n"}, {"big", text}}, {"list.def", "out.ini", "r"}},
            {"a definition list across read blocks", tool::tunelist, {{"list.def", text}},
             {"list.def", "out.ini"}},
            {"a song list across read blocks", tool::tunehdr, {{"list.ini", text}}, {"list.ini"}},
        };
        for (const auto& r : rows) run_row(r);
    }
}

TEST(BadInput, ListThroughAPipe) {
    const row rows[] = {
        {"definition list on standard input", tool::tunelist, {{"a.txt", "s000=a,1\r\n"}},
         {"/dev/stdin", "out.ini", "r"}, "x\n#include a.txt\n#include a.txt\n"},
        {"song list on standard input", tool::tunehdr, {}, {"/dev/stdin"},
         "s001=a,1\n;#define X 1\n"},
    };
    for (const auto& r : rows) run_row(r);
}

}  // namespace
