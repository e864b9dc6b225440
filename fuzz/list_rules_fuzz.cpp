// One fragment line through the marker and renumbering rules and out through the real writer,
// which edits the line in place where it can. The first byte holds the switches (bit 0: renumber,
// bits 1-2: how the line ends: CR LF in place, a bare LF, or no line end), the next four the song
// counter; the rest, up to any LF and without CR bytes, is the line's content.

#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz/fuzz_support.h"
#include "textio/text_line.h"
#include "textio/text_output.h"
#include "tunelist/assemble_list.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::enter_scratch_dir();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 5) return 0;
    const bool renumber = data[0] & 1;
    const int ending = (data[0] >> 1) % 3;
    std::uint32_t raw_counter;
    std::memcpy(&raw_counter, data + 1, 4);
    const std::int32_t before = static_cast<std::int32_t>(raw_counter & 0x7fffffffu);

    std::string content;
    for (char c : fuzz::bytes_of(data + 5, size - 5)) {
        if (c == '\n') break;
        if (c != '\r') content += c;
    }
    std::string buffer = content + (ending == 0 ? "\r\n" : ending == 1 ? "\n" : "");
    textio::text_line line{buffer.data(), content.size(), ending != 2, ending == 0};

    std::int32_t counter = before;
    textio::text_output out;
    FUZZ_CHECK(out.open("line.out"));
    tunelist::copy_fragment_line(out, line, counter, renumber);
    FUZZ_CHECK(out.close());
    const std::string written = fuzz::read_file("line.out");

    std::int32_t expected_counter = before;
    std::string expected = reference::fragment_line(content, expected_counter, renumber);
    if (ending != 2) expected += "\r\n";
    FUZZ_CHECK(written == expected);
    FUZZ_CHECK(counter == expected_counter);
    return 0;
}
