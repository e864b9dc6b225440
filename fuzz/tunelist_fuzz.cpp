// The whole assembly on fuzzer bytes. The first byte holds the switches (bit 0: renumber, bit 1:
// the output exists before the run); the rest, split at each 0x1E byte, is the definition list
// and then the fragments named 1, 2, ... in the working folder.

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "textio/text_input.h"
#include "textio/text_output.h"
#include "tunelist/assemble_list.h"

namespace {
constexpr std::size_t most_fragments = 8;
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::enter_scratch_dir();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const bool renumber = data[0] & 1;
    const bool output_existed = data[0] & 2;
    std::string_view rest = fuzz::bytes_of(data + 1, size - 1);
    std::vector<std::string_view> parts;
    for (;;) {
        std::size_t cut = rest.find('\x1e');
        if (cut == std::string_view::npos || parts.size() == most_fragments) {
            parts.push_back(rest);
            break;
        }
        parts.push_back(rest.substr(0, cut));
        rest.remove_prefix(cut + 1);
    }
    fuzz::write_file("list.def", parts[0]);
    for (std::size_t i = 1; i < parts.size(); ++i) fuzz::write_file(std::to_string(i).c_str(), parts[i]);
    std::remove("out");
    if (output_existed) fuzz::write_file("out", "old song list\n");

    std::map<std::string, std::string> fragments;
    for (std::size_t i = 1; i < parts.size(); ++i) fragments[std::to_string(i)] = parts[i];
    const reference::assembly expected = reference::assembled(parts[0], fragments, renumber);
    bool names_output = false;
    const std::string list = reference::as_read(parts[0]);
    for (const auto& line : reference::lines_of(list)) {
        std::string_view name = line.content.size() > 9 ? line.content.substr(9) : "";
        if (line.content.size() >= 8 && line.content.substr(1, 7) == "include")
            names_output |= name == "out" || name == "./out";
    }

    textio::text_input definitions;
    FUZZ_CHECK(definitions.open("list.def"));
    FUZZ_CHECK(definitions.refill() || !definitions.failed());
    if (auto refused = tunelist::refuse_output(definitions, "out")) {
        FUZZ_CHECK(output_existed && *refused == "out");
        FUZZ_CHECK(fuzz::read_file("out") == "old song list\n");
    } else {
        FUZZ_CHECK(!(output_existed && names_output));
        textio::text_output out;
        FUZZ_CHECK(out.open("out"));
        auto failed = tunelist::assemble_list(definitions, out, renumber);
        FUZZ_CHECK(out.close());
        const std::string written = fuzz::read_file("out");
        FUZZ_CHECK(fuzz::crlf_only(written));
        // A name that leads to some other file (the list, a folder, the output) may fail or
        // succeed; every other run must match the plain statement byte for byte, up to and
        // including the fragment that cannot be opened.
        const auto& missing = expected.missing;
        if (!missing || missing->find('\0') != std::string::npos ||
            !std::filesystem::exists(*missing)) {
            FUZZ_CHECK(failed == missing);
            FUZZ_CHECK(written == expected.written);
        }
    }
    for (std::size_t i = 1; i < parts.size(); ++i) std::remove(std::to_string(i).c_str());
    return 0;
}
