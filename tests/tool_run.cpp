#include "tests/tool_run.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <thread>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tool_run {

namespace fs = std::filesystem;

result run(const std::string& program, const std::vector<std::string>& words, const fs::path& dir,
           const std::optional<std::string>& input) {
    int out_pipe[2];
    int in_pipe[2];
    if (pipe(out_pipe) != 0 || pipe(in_pipe) != 0) throw std::runtime_error("pipe");
    pid_t child = fork();
    if (child < 0) throw std::runtime_error("fork");
    if (child == 0) {
        dup2(in_pipe[0], 0);
        dup2(out_pipe[1], 1);
        close(in_pipe[0]);
        close(in_pipe[1]);
        close(out_pipe[0]);
        close(out_pipe[1]);
        if (chdir(dir.c_str()) != 0) _exit(126);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(program.c_str()));
        for (const auto& w : words) argv.push_back(const_cast<char*>(w.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    close(in_pipe[0]);
    close(out_pipe[1]);
    // Standard input is fed from its own thread, so a program that writes much before it reads
    // everything cannot stall the test.
    std::thread feeder([fd = in_pipe[1], &input] {
        if (input) {
            const char* p = input->data();
            std::size_t left = input->size();
            while (left > 0) {
                ssize_t done = write(fd, p, left);
                if (done < 0 && errno == EINTR) continue;
                if (done <= 0) break;
                p += done;
                left -= static_cast<std::size_t>(done);
            }
        }
        close(fd);
    });
    result r;
    char buffer[65536];
    for (;;) {
        ssize_t got = read(out_pipe[0], buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        r.out.append(buffer, static_cast<std::size_t>(got));
    }
    close(out_pipe[0]);
    feeder.join();
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

scratch_dir::scratch_dir() {
    std::string pattern = (fs::temp_directory_path() / "tunetools-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp");
    path_ = pattern;
}

scratch_dir::~scratch_dir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

void scratch_dir::write(std::string_view name, std::string_view bytes) const {
    write_file(path_ / name, bytes);
}

std::string scratch_dir::read(std::string_view name) const { return read_file(path_ / name); }

bool scratch_dir::exists(std::string_view name) const {
    std::error_code ignored;
    return fs::exists(fs::symlink_status(path_ / name, ignored));
}

std::map<std::string, std::string> scratch_dir::files() const {
    std::map<std::string, std::string> all;
    for (const auto& entry : fs::recursive_directory_iterator(path_)) {
        if (entry.is_symlink() || !entry.is_regular_file()) continue;
        all[fs::relative(entry.path(), path_).string()] = read_file(entry.path());
    }
    return all;
}

std::string read_file(const fs::path& file) {
    std::ifstream in(file, std::ios::binary | std::ios::ate);
    if (!in) throw std::runtime_error("cannot read " + file.string());
    std::string bytes(static_cast<std::size_t>(in.tellg()), '\0');
    in.seekg(0);
    if (!in.read(bytes.data(), static_cast<std::streamsize>(bytes.size())))
        throw std::runtime_error("cannot read " + file.string());
    return bytes;
}

void write_file(const fs::path& file, std::string_view bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + file.string());
}

std::string hex_dump(std::string_view bytes) {
    std::string dump;
    char cell[24];
    for (std::size_t row = 0; row < bytes.size(); row += 16) {
        std::snprintf(cell, sizeof cell, "%06zx", row);
        dump += cell;
        std::string shown;
        for (std::size_t i = row; i < row + 16; ++i) {
            if (i < bytes.size()) {
                auto b = static_cast<unsigned char>(bytes[i]);
                std::snprintf(cell, sizeof cell, " %02x", b);
                dump += cell;
                shown += (b >= 0x20 && b < 0x7f) ? static_cast<char>(b) : '.';
            } else {
                dump += "   ";
            }
        }
        dump += "  |";
        dump += shown;
        dump += "|\n";
    }
    dump += '(';
    dump += std::to_string(bytes.size());
    dump += " bytes)\n";
    return dump;
}

::testing::AssertionResult same_bytes(const char* expected_text, const char* actual_text,
                                      std::string_view expected, std::string_view actual) {
    if (expected == actual) return ::testing::AssertionSuccess();
    constexpr std::size_t shown_whole = 4096;
    if (expected.size() <= shown_whole && actual.size() <= shown_whole) {
        return ::testing::AssertionFailure()
               << "bytes differ\n" << expected_text << ":\n" << hex_dump(expected) << actual_text
               << ":\n" << hex_dump(actual);
    }
    std::size_t first = 0;
    while (first < expected.size() && first < actual.size() && expected[first] == actual[first])
        ++first;
    std::size_t from = first < 64 ? 0 : (first - 64) / 16 * 16;
    auto window = [&](std::string_view bytes) {
        return bytes.size() <= from ? std::string("(ends before)\n") : hex_dump(bytes.substr(from, 160));
    };
    return ::testing::AssertionFailure()
           << "bytes differ first at offset " << first << " (sizes " << expected.size() << " and "
           << actual.size() << "); from offset " << from << ":\n"
           << expected_text << ":\n" << window(expected) << actual_text << ":\n" << window(actual);
}

}  // namespace tool_run
