// The floor the tools are measured against: the text-mode transcoding and nothing else. Reads
// each input in 256 KiB blocks, drops CR bytes, stops at the first Ctrl-Z, writes LF as CR LF in
// large blocks. No lines, no rules. Built for the benchmark only.
// usage: minimal_loop INPUT... OUTPUT

#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::size_t block = 256 * 1024;
char in[block];
char out[2 * block + 2];
std::size_t used = 0;
int out_fd = -1;

void flush() {
    for (std::size_t done = 0; done < used;) {
        ssize_t n = write(out_fd, out + done, used - done);
        if (n <= 0) std::exit(2);
        done += static_cast<std::size_t>(n);
    }
    used = 0;
}

// Copies data without its CR bytes.
void put_without_cr(const char* p, const char* end) {
    while (p < end) {
        const char* cr = static_cast<const char*>(std::memchr(p, '\r', end - p));
        const char* stop = cr ? cr : end;
        std::memcpy(out + used, p, stop - p);
        used += stop - p;
        p = stop + 1;
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return 1;
    out_fd = open(argv[argc - 1], O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (out_fd < 0) return 1;
    for (int i = 1; i < argc - 1; ++i) {
        int fd = open(argv[i], O_RDONLY);
        if (fd < 0) return 1;
        bool stop = false;
        ssize_t n;
        while (!stop && (n = read(fd, in, block)) > 0) {
            const char* end = in + n;
            if (const char* z = static_cast<const char*>(std::memchr(in, 0x1a, n))) {
                end = z;
                stop = true;
            }
            for (const char* p = in; p < end;) {
                const char* lf = static_cast<const char*>(std::memchr(p, '\n', end - p));
                const char* stop_at = lf ? lf : end;
                put_without_cr(p, stop_at);
                if (lf) {
                    out[used++] = '\r';
                    out[used++] = '\n';
                }
                p = stop_at + 1;
            }
            if (used >= block) flush();
        }
        close(fd);
    }
    flush();
    return close(out_fd) == 0 ? 0 : 2;
}
