// The bundled example through both tools, and the header through the C++ compiler.

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "tests/tool_run.h"

namespace {

namespace fs = std::filesystem;

TEST(Pipeline, ExampleListToACompilingHeader) {
    tool_run::scratch_dir dir;
    fs::copy(fs::path(EXAMPLES_DIR), dir / "examples");

    auto list = tool_run::run(TUNELIST_PROGRAM, {"examples/songs.def", "tunebank.ini", "renumber"},
                              dir.path());
    ASSERT_EQ(0, list.status) << list.out;
    auto header = tool_run::run(TUNEHDR_PROGRAM, {"tunebank.ini"}, dir.path());
    ASSERT_EQ(0, header.status) << header.out;
    EXPECT_BYTES(
        "#define SOUND_BANK_VERSION 3\r\n"
        "#define\tMUS_TITLE\t0\r\n#define\tMUS_FIELD_DAY\t1\r\n#define\tMUS_FIELD_NIGHT\t2\r\n"
        "#define\tMUS_TOWN\t3\r\n#define\tMUS_HARBOR\t4\r\n"
        "#define\tMUS_BATTLE\t5\r\n#define\tMUS_BOSS_BATTLE\t6\r\n#define\tMUS_VICTORY\t7\r\n"
        "#define\tSE_CURSOR\t100\r\n#define\tSE_DECIDE\t101\r\n#define\tSE_CANCEL\t102\r\n"
        "#define\tSE_JUMP\t103\r\n",
        dir.read("mus_def.h"));

    dir.write("use.cpp",
              "#include \"mus_def.h\"\n"
              "static_assert(MUS_TITLE == 0 && MUS_VICTORY == 7, \"music\");\n"
              "static_assert(SE_CURSOR == 100 && SE_JUMP == 103, \"effects\");\n"
              "static_assert(SOUND_BANK_VERSION == 3, \"bank\");\n"
              "int main() { return MUS_HARBOR - 4; }\n");
    auto compiled = tool_run::run(CXX_COMPILER, {"-fsyntax-only", "use.cpp"}, dir.path());
    EXPECT_EQ(0, compiled.status) << compiled.out;
}

}  // namespace
