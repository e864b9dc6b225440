#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

// Helpers for tests that run the built programs for real: a scratch folder per test, the exact
// bytes of every file and of standard output, and hex dumps where bytes differ.
namespace tool_run {

struct result {
    int status = -1;   // exit status, or -1 when the program did not exit normally
    std::string out;   // everything written to standard output
};

// Runs `program` with `words` after its name, in folder `dir`. With `input`, standard input is a
// pipe fed with those bytes; otherwise it is empty.
result run(const std::string& program, const std::vector<std::string>& words,
           const std::filesystem::path& dir, const std::optional<std::string>& input = {});

// A fresh empty folder, removed with everything in it at the end of the test.
class scratch_dir {
public:
    scratch_dir();
    ~scratch_dir();
    scratch_dir(const scratch_dir&) = delete;
    scratch_dir& operator=(const scratch_dir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(std::string_view name) const { return path_ / name; }
    void write(std::string_view name, std::string_view bytes) const;
    std::string read(std::string_view name) const;
    bool exists(std::string_view name) const;
    // Every regular file below the folder (by relative name) with its bytes.
    std::map<std::string, std::string> files() const;

private:
    std::filesystem::path path_;
};

std::string read_file(const std::filesystem::path& file);
void write_file(const std::filesystem::path& file, std::string_view bytes);

// Sixteen bytes a row, in hex and as printable characters.
std::string hex_dump(std::string_view bytes);

// Equal bytes; otherwise both sides as hex dumps (around the first difference when large).
::testing::AssertionResult same_bytes(const char* expected_text, const char* actual_text,
                                      std::string_view expected, std::string_view actual);

}  // namespace tool_run

#define EXPECT_BYTES(expected, actual) EXPECT_PRED_FORMAT2(::tool_run::same_bytes, expected, actual)
