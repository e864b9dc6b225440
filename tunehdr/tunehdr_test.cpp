// End-to-end tests: the built tunehdr run in a scratch folder, every byte checked.

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

tool_run::result tunehdr(const scratch_dir& dir, const std::vector<std::string>& words) {
    return tool_run::run(TUNEHDR_PROGRAM, words, dir.path());
}

std::string open_error(const std::string& name) { return "\r\n" + name + " open error\r\n"; }

TEST(Tunehdr, UsageWithoutAWord) {
    scratch_dir dir;
    auto r = tunehdr(dir, {});
    EXPECT_EQ(1, r.status);
    EXPECT_BYTES("ex: tunehdr input_file<*.ini>\r\n", r.out);
    EXPECT_TRUE(dir.files().empty());
}

TEST(Tunehdr, WritesDefinesAndCopiesHeaderLines) {
    const std::string long_define = ";#define LONG " + std::string(100000, '1');
    struct {
        const char* what;
        std::string list;
        std::string header;
    } rows[] = {
        {"song entries and header lines in list order",
         "; songs\r\n;#define BANK 3\r\ns001=title,1\r\n[x]\r\ns120 se_jump,2\r\n",
         "#define BANK 3\r\n#define\tMUS_TITLE\t1\r\n#define\tSE_JUMP\t120\r\n"},
        {"an empty list", "", ""},
        {"song entry tested first", "s1define,1\n", "#define\tMUS_DEFINE\t1\r\n"},
        {"not a digit: a header line", "sxdefine X 1\n", "xdefine X 1\r\n"},
        {"upper-case S, short lines dropped", "S001=x,1\n;#def\ns\n", ""},
        {"a line without a comma", "s5=no comma\ns6\n", "#define\tMUS_NO COMMA\t5\r\n#define\tMUS_\t6\r\n"},
        {"a header line of 100 000 bytes", long_define + "\r\ns1=a,1\r\n",
         long_define.substr(1) + "\r\n#define\tMUS_A\t1\r\n"},
        {"the last header line without LF", ";#define X 1", "#define X 1"},
        {"CR dropped anywhere", "s0\r01=ti\rtle,1\r\n;\r#define X\r 1\r\n",
         "#define\tMUS_TITLE\t1\r\n#define X 1\r\n"},
        {"Ctrl-Z ends the list", "s1=a,1\r\n\x1as2=b,1\r\n", "#define\tMUS_A\t1\r\n"},
        {"NUL bytes kept", std::string(";#define \0X\ns1=a\0b,1\n", 21),
         std::string("#define \0X\r\n#define\tMUS_A\0B\t1\r\n", 31)},
        {"bytes 0x80 to 0xFF", "s1=\x83\x62\xe0\xff,1\n;#define J \"\x83\x62\"\n",
         "#define\tMUS_\x83\x42\xe0\xff\t1\r\n#define J \"\x83\x62\"\r\n"},
        {"numbers of any length", "s0000000000001234567890123=x,1\n",
         "#define\tMUS_X\t1234567890123\r\n"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        scratch_dir dir;
        dir.write("list.ini", r.list);
        auto result = tunehdr(dir, {"list.ini", "ignored"});
        EXPECT_EQ(0, result.status);
        EXPECT_BYTES("", result.out);
        EXPECT_BYTES(r.header, dir.read("mus_def.h"));
        EXPECT_BYTES(r.list, dir.read("list.ini"));
    }
}

TEST(Tunehdr, OpenErrors) {
    struct {
        const char* what;
        std::string input;
        bool header_is_a_folder;
        std::string out;
    } rows[] = {
        {"missing list", "missing.ini", false, open_error("missing.ini")},
        {"list is a folder", "folder", false, open_error("folder")},
        {"empty name", "", false, open_error("")},
        {"mus_def.h is a folder", "list.ini", true, open_error("mus_def.h")},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        scratch_dir dir;
        dir.write("list.ini", "s1=a,1\r\n");
        fs::create_directory(dir / "folder");
        if (r.header_is_a_folder) {
            fs::create_directory(dir / "mus_def.h");
        } else {
            dir.write("mus_def.h", "#define OLD 1\r\n");
        }
        files before = dir.files();
        auto result = tunehdr(dir, {r.input});
        EXPECT_EQ(1, result.status);
        EXPECT_BYTES(r.out, result.out);
        EXPECT_EQ(before, dir.files());  // an old header stays as it was
    }
}

TEST(Tunehdr, MissingListCreatesNoHeader) {
    scratch_dir dir;
    auto r = tunehdr(dir, {"missing.ini"});
    EXPECT_EQ(1, r.status);
    EXPECT_FALSE(dir.exists("mus_def.h"));
}

TEST(Tunehdr, RefusesAListThatIsTheHeader) {
    struct {
        const char* what;
        void (*prepare)(const scratch_dir&);
        const char* input;
    } rows[] = {
        {"by name", [](const scratch_dir& d) { d.write("mus_def.h", "s1=a,1\r\n"); }, "mus_def.h"},
        {"by a hard link",
         [](const scratch_dir& d) {
             d.write("list.ini", "s1=a,1\r\n");
             fs::create_hard_link(d / "list.ini", d / "mus_def.h");
         },
         "list.ini"},
        {"by a symbolic link",
         [](const scratch_dir& d) {
             d.write("list.ini", "s1=a,1\r\n");
             fs::create_symlink("list.ini", d / "mus_def.h");
         },
         "list.ini"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        scratch_dir dir;
        r.prepare(dir);
        files before = dir.files();
        auto result = tunehdr(dir, {r.input});
        EXPECT_EQ(1, result.status);
        EXPECT_BYTES(open_error("mus_def.h"), result.out);
        EXPECT_EQ(before, dir.files());
    }
}

TEST(Tunehdr, AFullDiskShowsInTheExitStatus) {
    scratch_dir dir;
    dir.write("list.ini", "s1=a,1\r\n");
    fs::create_symlink("/dev/full", dir / "mus_def.h");
    auto r = tunehdr(dir, {"list.ini"});
    EXPECT_EQ(255, r.status);
    EXPECT_BYTES("\r\nmus_def.h write error\r\n", r.out);
}

}  // namespace
