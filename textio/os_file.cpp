#include "textio/os_file.h"

#include <cerrno>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace textio::os {

bool same_file(const file_identity& a, const file_identity& b) {
    return a.exists && b.exists && a.device == b.device && a.inode == b.inode;
}

#ifdef _WIN32

void prepare_process() { _setmode(1, _O_BINARY); }

handle standard_output() { return 1; }

handle open_for_reading(const char* name) { return _open(name, _O_RDONLY | _O_BINARY); }

handle open_for_writing(const char* name) {
    return _open(name, _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY, _S_IREAD | _S_IWRITE);
}

std::ptrdiff_t read_block(handle file, char* buffer, std::size_t size) {
    constexpr std::size_t most = 1u << 30;
    return _read(file, buffer, static_cast<unsigned>(size < most ? size : most));
}

bool write_block(handle file, const char* data, std::size_t size) {
    constexpr std::size_t most = 1u << 30;
    while (size > 0) {
        int done = _write(file, data, static_cast<unsigned>(size < most ? size : most));
        if (done <= 0) return false;
        data += done;
        size -= static_cast<std::size_t>(done);
    }
    return true;
}

bool close_file(handle file) { return _close(file) == 0; }

bool rewind_file(handle file) { return _lseeki64(file, 0, SEEK_SET) == 0; }

static file_identity identify_windows_handle(HANDLE h) {
    file_identity id;
    BY_HANDLE_FILE_INFORMATION info;
    if (h == INVALID_HANDLE_VALUE || !GetFileInformationByHandle(h, &info)) return id;
    id.exists = true;
    id.directory = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    id.regular = !id.directory && GetFileType(h) == FILE_TYPE_DISK;
    id.device = info.dwVolumeSerialNumber;
    id.inode = (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
    return id;
}

file_identity identify(handle file) {
    return identify_windows_handle(reinterpret_cast<HANDLE>(_get_osfhandle(file)));
}

file_identity identify(const char* name) {
    HANDLE h = CreateFileA(name, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    file_identity id = identify_windows_handle(h);
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    return id;
}

#else

void prepare_process() { std::signal(SIGPIPE, SIG_IGN); }

handle standard_output() { return STDOUT_FILENO; }

handle open_for_reading(const char* name) {
    int fd;
    do fd = ::open(name, O_RDONLY | O_CLOEXEC);
    while (fd < 0 && errno == EINTR);
    return fd;
}

handle open_for_writing(const char* name) {
    int fd;
    do fd = ::open(name, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    while (fd < 0 && errno == EINTR);
    return fd;
}

std::ptrdiff_t read_block(handle file, char* buffer, std::size_t size) {
    for (;;) {
        ssize_t got = ::read(file, buffer, size);
        if (got >= 0 || errno != EINTR) return got;
    }
}

bool write_block(handle file, const char* data, std::size_t size) {
    while (size > 0) {
        ssize_t done = ::write(file, data, size);
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0) return false;
        data += done;
        size -= static_cast<std::size_t>(done);
    }
    return true;
}

bool close_file(handle file) {
    // After an interrupted close the descriptor is gone on Linux and unspecified elsewhere; it is
    // never retried, and the interruption counts as a failure.
    return ::close(file) == 0;
}

bool rewind_file(handle file) { return ::lseek(file, 0, SEEK_SET) == 0; }

static file_identity from_stat(const struct stat& st) {
    file_identity id;
    id.exists = true;
    id.regular = S_ISREG(st.st_mode);
    id.directory = S_ISDIR(st.st_mode);
    id.device = static_cast<std::uint64_t>(st.st_dev);
    id.inode = static_cast<std::uint64_t>(st.st_ino);
    return id;
}

file_identity identify(handle file) {
    struct stat st;
    if (::fstat(file, &st) != 0) return {};
    return from_stat(st);
}

file_identity identify(const char* name) {
    struct stat st;
    if (::stat(name, &st) != 0) return {};
    return from_stat(st);
}

#endif

}  // namespace textio::os
