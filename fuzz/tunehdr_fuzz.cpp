// The whole header generation on fuzzer bytes taken as a song list. Every line of mus_def.h must
// be a generated #define or a copied header line, exactly as the plain line-by-line statement of
// the rules gives them, in list order, with nothing else written.

#include <cstdint>

#include "fuzz/fuzz_support.h"
#include "textio/text_input.h"
#include "textio/text_output.h"
#include "tunehdr/make_header.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::enter_scratch_dir();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes = fuzz::bytes_of(data, size);
    fuzz::write_file("list.ini", bytes);

    textio::text_input list;
    FUZZ_CHECK(list.open("list.ini"));
    FUZZ_CHECK(list.refill() || !list.failed());
    FUZZ_CHECK(!tunehdr::header_is_the_list(list));
    textio::text_output header;
    FUZZ_CHECK(header.open("mus_def.h"));
    FUZZ_CHECK(tunehdr::make_header(list, header));
    FUZZ_CHECK(header.close());
    const std::string written = fuzz::read_file("mus_def.h");
    FUZZ_CHECK(fuzz::crlf_only(written));
    FUZZ_CHECK(written == reference::header_of(bytes));
    return 0;
}
