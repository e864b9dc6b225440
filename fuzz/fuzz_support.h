#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include <fcntl.h>
#include <unistd.h>

#include "tests/reference.h"

// Shared pieces of the fuzz targets: invariant checks that stop the run with a message, and a
// private working folder for targets that run a tool's whole logic on files.
namespace fuzz {

[[noreturn]] inline void broken(const char* what, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: invariant broken: %s\n", file, line, what);
    std::abort();
}

#define FUZZ_CHECK(condition) \
    ((condition) ? (void)0 : ::fuzz::broken(#condition, __FILE__, __LINE__))

inline std::string_view bytes_of(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// Moves into a fresh folder of its own, and sends the tools' messages to /dev/null.
inline void enter_scratch_dir() {
    char folder[] = "/tmp/tunetools-fuzz-XXXXXX";
    if (!mkdtemp(folder) || chdir(folder) != 0) std::abort();
    int null = open("/dev/null", O_WRONLY);
    if (null < 0 || dup2(null, 1) < 0) std::abort();
    close(null);
}

inline void write_file(const char* name, std::string_view bytes) {
    std::FILE* f = std::fopen(name, "wb");
    if (!f) std::abort();
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) std::abort();
    if (std::fclose(f) != 0) std::abort();
}

inline std::string read_file(const char* name) {
    std::FILE* f = std::fopen(name, "rb");
    if (!f) std::abort();
    std::string bytes;
    char block[65536];
    std::size_t got;
    while ((got = std::fread(block, 1, sizeof block, f)) > 0) bytes.append(block, got);
    std::fclose(f);
    return bytes;
}

inline std::size_t count_of(std::string_view text, char c) {
    std::size_t n = 0;
    for (char x : text) n += x == c;
    return n;
}

// Every CR is followed by LF and every LF follows a CR.
inline bool crlf_only(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')) return false;
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) return false;
    }
    return true;
}

}  // namespace fuzz
