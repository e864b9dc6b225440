#pragma once

#include <cstddef>
#include <cstdint>

// The few operating-system file calls that the standard library cannot stand in for: block reads
// and writes without stdio's buffering, a directory told apart from a file, the close's own
// result, and whether two names lead to one file. Everything else in the tools is portable C++.
namespace textio::os {

using handle = int;
constexpr handle no_handle = -1;

// Binary mode for standard output (the tools write CR LF themselves), and a write to a closed
// pipe reported as a failed write instead of a signal that ends the run halfway.
void prepare_process();

handle standard_output();

// Opens an existing file for reading; the name is used as it stands.
handle open_for_reading(const char* name);

// Opens a file for writing, creating it or truncating an existing one.
handle open_for_writing(const char* name);

// Bytes read, 0 at the end of the file, or -1 after an error.
std::ptrdiff_t read_block(handle file, char* buffer, std::size_t size);

// Writes every byte or reports failure; short writes and interruptions are retried.
bool write_block(handle file, const char* data, std::size_t size);

bool close_file(handle file);

// Moves back to the first byte; works on regular files only.
bool rewind_file(handle file);

struct file_identity {
    bool exists = false;
    bool regular = false;
    bool directory = false;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
};

// Same device and same file number: one file, whether reached by the same name, a hard link or a
// symbolic link.
bool same_file(const file_identity& a, const file_identity& b);

file_identity identify(handle file);

// Follows symbolic links; a name that leads nowhere gives exists == false.
file_identity identify(const char* name);

}  // namespace textio::os
