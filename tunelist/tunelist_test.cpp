// End-to-end tests: the built tunelist run in a scratch folder, every byte checked.

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/tool_run.h"

namespace {

namespace fs = std::filesystem;
using tool_run::scratch_dir;
using files = std::map<std::string, std::string>;

tool_run::result tunelist(const scratch_dir& dir, const std::vector<std::string>& words,
                          const std::optional<std::string>& input = {}) {
    return tool_run::run(TUNELIST_PROGRAM, words, dir.path(), input);
}

void write_all(const scratch_dir& dir, const files& all) {
    for (const auto& [name, bytes] : all) dir.write(name, bytes);
}

// Every file of the folder but `output` is as it was.
void expect_unchanged_but(const scratch_dir& dir, const files& before, const std::string& output) {
    files after = dir.files();
    after.erase(output);
    files expected = before;
    expected.erase(output);
    ASSERT_EQ(expected.size(), after.size());
    for (const auto& [name, bytes] : expected) {
        SCOPED_TRACE(name);
        EXPECT_BYTES(bytes, after[name]);
    }
}

const std::string usage_text =
    "\r\ntunebank.ini\x82\xf0\x8a\xc7\x97\x9d\x82\xb7\x82\xe9\x82\xbd\x82\xdf\x82\xc9"
    "\x81\x69\x88\xc8\x89\xba\x97\xaa\x81\x6a\x82\xd5\x82\xeb\x82\xae\x82\xe7\x82\xde\r\n"
    "ex: tunelist input_file<*.def> output_file option\r\n";

std::string open_error(const std::string& name) { return "\r\n" + name + " open error\r\n"; }

TEST(Tunelist, UsageWithFewerThanTwoWords) {
    for (const std::vector<std::string>& words :
         {std::vector<std::string>{}, std::vector<std::string>{"list.def"}}) {
        scratch_dir dir;
        dir.write("list.def", "#include a.txt\r\n");
        auto r = tunelist(dir, words);
        EXPECT_EQ(1, r.status);
        EXPECT_BYTES(usage_text, r.out);
        EXPECT_EQ((files{{"list.def", "#include a.txt\r\n"}}), dir.files());
    }
}

// Two fragments, one of them included twice, the counter running across all of them; the
// definition list's own lines are copied as they stand.
const files assembly_inputs = {
    {"list.def",
     "; sample list\r\n#include a.txt\r\ns000=list line,1\r\n#include b.txt\r\n#include b.txt\r\n"},
    {"a.txt", "s*010=title,1\r\ns000=field,1\r\n"},
    {"b.txt", "s000=town,1\nS000=upper,1\n; b\n"},
};

TEST(Tunelist, AssemblesFragmentsWithAndWithoutRenumbering) {
    const std::string renumbered =
        "; sample list\r\n"
        "s010=title,1\r\ns011=field,1\r\n"
        "s000=list line,1\r\n"
        "s012=town,1\r\nS000=upper,1\r\n; b\r\n"
        "s013=town,1\r\nS000=upper,1\r\n; b\r\n";
    const std::string copied =
        "; sample list\r\n"
        "s010=title,1\r\ns000=field,1\r\n"  // the marker still loses its '*'
        "s000=list line,1\r\n"
        "s000=town,1\r\nS000=upper,1\r\n; b\r\n"
        "s000=town,1\r\nS000=upper,1\r\n; b\r\n";
    struct {
        std::vector<std::string> words;
        std::string expected;
    } rows[] = {
        {{"list.def", "out.ini"}, copied},
        {{"list.def", "out.ini", "renumber"}, renumbered},
        {{"list.def", "out.ini", ""}, renumbered},  // any third word, even an empty one
        {{"list.def", "out.ini", "0", "more"}, renumbered},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.words.size());
        scratch_dir dir;
        write_all(dir, assembly_inputs);
        auto result = tunelist(dir, r.words);
        EXPECT_EQ(0, result.status);
        EXPECT_BYTES("include a.txt\r\ninclude b.txt\r\ninclude b.txt\r\n", result.out);
        EXPECT_BYTES(r.expected, dir.read("out.ini"));
        expect_unchanged_but(dir, assembly_inputs, "out.ini");
    }
}

TEST(Tunelist, ReplacesAnExistingOutputAndCopiesAnEmptyList) {
    scratch_dir dir;
    dir.write("empty.def", "");
    dir.write("out.ini", "old contents\r\n");
    auto r = tunelist(dir, {"empty.def", "out.ini"});
    EXPECT_EQ(0, r.status);
    EXPECT_BYTES("", r.out);
    EXPECT_BYTES("", dir.read("out.ini"));
}

TEST(Tunelist, OpenErrors) {
    struct {
        const char* what;
        files inputs;
        std::vector<std::string> folders;
        std::vector<std::string> words;
        std::string out;
        std::optional<std::string> written;  // the output file afterwards; nullopt: not created
    } rows[] = {
        {"missing list", {}, {}, {"missing.def", "out.ini"}, open_error("missing.def"), std::nullopt},
        {"list is a folder", {}, {"dir.def"}, {"dir.def", "out.ini"}, open_error("dir.def"), std::nullopt},
        {"empty list name", {}, {}, {"", "out.ini"}, open_error(""), std::nullopt},
        {"output in a missing folder", {{"list.def", "x\r\n"}}, {}, {"list.def", "no/out.ini"},
         open_error("no/out.ini"), std::nullopt},
        {"output is a folder", {{"list.def", "x\r\n"}}, {"out.ini"}, {"list.def", "out.ini"},
         open_error("out.ini"), std::nullopt},
        {"missing fragment: the lines before it stay",
         {{"list.def", "before\r\n#include a.txt\r\n#include gone.txt\r\nafter\r\n"},
          {"a.txt", "s000=a,1\r\n"}},
         {}, {"list.def", "out.ini", "r"}, "include a.txt\r\n" + open_error("gone.txt"),
         "before\r\ns001=a,1\r\n"},
        {"include line ending at position 8", {{"list.def", "x\r\n#include\r\ny\r\n"}}, {},
         {"list.def", "out.ini"}, open_error(""), "x\r\n"},
        {"include line ending at position 9", {{"list.def", "#include "}}, {},
         {"list.def", "out.ini"}, open_error(""), ""},
        {"fragment is a folder", {{"list.def", "#include sub\r\n"}}, {"sub"}, {"list.def", "out.ini"},
         open_error("sub"), ""},
        {"fragment name holding a NUL byte",
         {{"list.def", std::string("#include a.txt\0.x\r\n", 19)}, {"a.txt", "s000=a,1\r\n"}}, {},
         {"list.def", "out.ini"}, open_error(std::string("a.txt\0.x", 8)), ""},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        scratch_dir dir;
        write_all(dir, r.inputs);
        for (const auto& folder : r.folders) fs::create_directory(dir / folder);
        auto result = tunelist(dir, r.words);
        EXPECT_EQ(1, result.status);
        EXPECT_BYTES(r.out, result.out);
        if (r.written) {
            EXPECT_BYTES(*r.written, dir.read("out.ini"));
        } else if (r.words[1] != "out.ini" || r.folders.empty()) {
            EXPECT_FALSE(dir.exists(r.words[1]));
        }
        expect_unchanged_but(dir, r.inputs, "out.ini");
    }
}

TEST(Tunelist, RefusesAnOutputThatIsAnInput) {
    const files inputs = {
        {"list.def", "; list\r\n#include a.txt\r\n#include b.txt\r\n"},
        {"a.txt", "s000=a,1\r\n"},
        {"b.txt", "s000=b,1\r\n"},
    };
    struct {
        const char* what;
        const char* link;  // made before the run: a hard or symbolic link to `target`
        bool symbolic;
        const char* target;
        const char* output;
    } rows[] = {
        {"the list by its own name", nullptr, false, nullptr, "list.def"},
        {"the list by a hard link", "hard.ini", false, "list.def", "hard.ini"},
        {"the list by a symbolic link", "soft.ini", true, "list.def", "soft.ini"},
        {"a fragment by its own name", nullptr, false, nullptr, "b.txt"},
        {"a fragment by a hard link", "hard.ini", false, "b.txt", "hard.ini"},
        {"a fragment by a symbolic link", "soft.ini", true, "a.txt", "soft.ini"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        scratch_dir dir;
        write_all(dir, inputs);
        if (r.link && r.symbolic) fs::create_symlink(r.target, dir / r.link);
        if (r.link && !r.symbolic) fs::create_hard_link(dir / r.target, dir / r.link);
        files before = dir.files();
        auto result = tunelist(dir, {"list.def", r.output, "renumber"});
        EXPECT_EQ(1, result.status);
        EXPECT_BYTES(open_error(r.output), result.out);
        EXPECT_EQ(before, dir.files());
    }
}

TEST(Tunelist, NeverReadsTheOutputAsAFragment) {
    // The output does not exist before the run, so only the include itself can tell.
    scratch_dir dir;
    dir.write("list.def", "first\r\n#include out.ini\r\nlast\r\n");
    auto r = tunelist(dir, {"list.def", "out.ini"});
    EXPECT_EQ(1, r.status);
    EXPECT_BYTES(open_error("out.ini"), r.out);
    EXPECT_BYTES("first\r\n", dir.read("out.ini"));
}

TEST(Tunelist, ReadsTheListFromAPipe) {
    scratch_dir dir;
    dir.write("a.txt", "s000=a,1\r\n");
    auto r = tunelist(dir, {"/dev/stdin", "out.ini", "r"}, "x\n#include a.txt\n#include out.ini\n");
    EXPECT_EQ(1, r.status);
    EXPECT_BYTES("include a.txt\r\n" + open_error("out.ini"), r.out);
    EXPECT_BYTES("x\r\ns001=a,1\r\n", dir.read("out.ini"));

    r = tunelist(dir, {"/dev/stdin", "out.ini", "r"}, "#include a.txt\n#include a.txt\n");
    EXPECT_EQ(0, r.status);
    EXPECT_BYTES("s001=a,1\r\ns002=a,1\r\n", dir.read("out.ini"));
}

TEST(Tunelist, WriteErrorsShowInTheExitStatus) {
    struct {
        const char* what;
        std::string list;
        std::string out;
        int status;
    } rows[] = {
        {"a full disk", "s000=x,1\r\n#include a.txt\r\n",
         "include a.txt\r\n\r\n/dev/full write error\r\n", 255},
        {"a later missing fragment wins", "s000=x,1\r\n#include a.txt\r\n#include gone.txt\r\n",
         "include a.txt\r\n" + open_error("gone.txt"), 1},
        {"nothing to write", "", "", 0},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        scratch_dir dir;
        dir.write("list.def", r.list);
        dir.write("a.txt", "s000=a,1\r\n");
        auto result = tunelist(dir, {"list.def", "/dev/full", "r"});
        EXPECT_EQ(r.status, result.status);
        EXPECT_BYTES(r.out, result.out);
    }
}

TEST(Tunelist, BytesAndLineEnds) {
    struct {
        const char* what;
        std::string list;
        std::string fragment;  // a.txt
        std::string expected;
    } rows[] = {
        {"CR dropped anywhere, LF written as CR LF", "a\rb\r\nc\n\r\nlast", "",
         "ab\r\nc\r\n\r\nlast"},
        {"Ctrl-Z ends the list", "x\r\ny\x1a#include a.txt\r\n", "s000=a,1\r\n", "x\r\ny"},
        {"Ctrl-Z ends a fragment", "#include a.txt\r\nafter\r\n", "s000=a,1\r\ns000=b\x1a,1\r\n",
         "s001=a,1\r\ns002=bafter\r\n"},
        {"NUL bytes kept, line end too", std::string("a\0b\r\n#include a.txt\r\n", 21),
         std::string("s000=\0,1\r\n\0\n", 12), std::string("a\0b\r\ns001=\0,1\r\n\0\r\n", 18)},
        {"bytes 0x80 to 0xFF kept", "\x80\xff\r\n#include a.txt\r\n", "s000=\x83\x62\x81\x40,1\n",
         "\x80\xff\r\ns001=\x83\x62\x81\x40,1\r\n"},
        {"a fragment's last line without LF", "#include a.txt\r\nnext\r\n", "s000=a,1",
         "s001=a,1next\r\n"},
        {"short lines keep their LF", "#include a.txt\r\n", "s\ns1\r\ns12\ns123\ns12",
         "s001\r\ns002\r\ns003\r\ns004\r\ns005"},
        {"marker without LF still loses its star", "#include a.txt\r\n", "s000=a,1\r\ns*5",
         "s001=a,1\r\ns5"},
        {"the field is fixed", "#include a.txt\r\n", "s*11\r\ns12=x,1\r\nsound\r\n",
         "s11\r\ns012x,1\r\ns013d\r\n"},
        {"numbers past 999 stay whole", "#include a.txt\r\n", "s*998\r\ns000=a,1\r\ns000=b,1\r\n",
         "s998\r\ns999=a,1\r\ns1000=b,1\r\n"},
        {"the counter saturates", "#include a.txt\r\n",
         "s*99999999999\r\ns000=a,1\r\ns*2147483646\r\ns000=b,1\r\ns000=c,1\r\n",
         "s99999999999\r\ns2147483647=a,1\r\ns2147483646\r\ns2147483647=b,1\r\ns2147483647=c,1\r\n"},
        {"fragment lines are never include lines", "#include a.txt\r\n", "#include b.txt\r\n",
         "#include b.txt\r\n"},
        {"list lines never renumbered", "s*5=x\r\ns000=y\r\n", "", "s*5=x\r\ns000=y\r\n"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        scratch_dir dir;
        dir.write("list.def", r.list);
        dir.write("a.txt", r.fragment);
        auto result = tunelist(dir, {"list.def", "out.ini", "r"});
        EXPECT_EQ(0, result.status);
        EXPECT_BYTES(r.expected, dir.read("out.ini"));
    }
}

TEST(Tunelist, LongLinesStayWhole) {
    // A line of 100 000 bytes whose later stretches start with 's' or hold "include" at the place
    // where a fixed-size piece would begin: it takes one song number and is never an include.
    std::string body;
    while (body.size() < 100000) body += "sinclude x";
    std::string name = "d/" + std::string(200, 'n') + "/" + std::string(200, 'm');
    scratch_dir dir;
    fs::create_directories(dir.path() / fs::path(name).parent_path());
    dir.write(name, "s000=" + body + "\r\ns000=next,1\r\n");
    dir.write("list.def", "x" + body + "\r\n#include " + name + "\r\n");
    auto r = tunelist(dir, {"list.def", "out.ini", "r"});
    EXPECT_EQ(0, r.status);
    EXPECT_BYTES("include " + name + "\r\n", r.out);
    EXPECT_BYTES("x" + body + "\r\ns001=" + body + "\r\ns002=next,1\r\n", dir.read("out.ini"));
}

}  // namespace
