// Song entry conversion on fuzzer bytes: 's', a digit chosen by the first byte, then the rest.

#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "tunehdr/song_entry.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) { return 0; }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    std::string line = "s";
    line += static_cast<char>('0' + data[0] % 10);
    line += fuzz::bytes_of(data + 1, size - 1);
    FUZZ_CHECK(tunehdr::is_song_entry_line(line));

    // The slack after the line holds digits, commas and letters, which must not count.
    const std::string padded = line + "9,_a9,_a";
    tunehdr::song_entry entry =
        tunehdr::convert_song_entry(std::string_view(padded).substr(0, line.size()));

    // The number: the digit run after the 's' without its leading zeros, at least one digit.
    std::size_t end = 1;
    while (end < line.size() && line[end] >= '0' && line[end] <= '9') ++end;
    std::string_view digits = std::string_view(line).substr(1, end - 1);
    FUZZ_CHECK(!entry.number.empty());
    FUZZ_CHECK(entry.number.size() == 1 || entry.number[0] != '0');
    FUZZ_CHECK(digits.substr(digits.size() - entry.number.size()) == entry.number);
    FUZZ_CHECK(digits.find_first_not_of('0', 0) == std::string_view::npos ||
               digits.find_first_not_of('0') == digits.size() - entry.number.size());

    // The name: a piece of the line up to (not past) its first comma after the number.
    const std::size_t name_at = static_cast<std::size_t>(entry.name.data() - padded.data());
    FUZZ_CHECK(name_at >= 1 + digits.size() && name_at + entry.name.size() <= line.size());
    FUZZ_CHECK(line.find(',', 1 + digits.size()) == std::string::npos
                   ? name_at + entry.name.size() == line.size()
                   : line[name_at + entry.name.size()] == ',');

    // The symbol: one prefix, upper case by the bytewise rule, no comma; and the word-wise
    // upper-casing agrees with the rule byte by byte.
    std::string name = std::string(entry.prefix) + std::string(entry.name);
    tunehdr::to_upper_ascii(name.data(), name.size());
    for (std::size_t i = 0; i < entry.name.size(); ++i) {
        auto b = static_cast<unsigned char>(entry.name[i]);
        FUZZ_CHECK(name[entry.prefix.size() + i] == static_cast<char>(b >= 0x61 && b <= 0x7F ? b - 0x20 : b));
    }
    bool own_prefix = name.compare(0, 4, "MUS_") == 0 || name.compare(0, 3, "SE_") == 0;
    FUZZ_CHECK(own_prefix);
    FUZZ_CHECK(name.size() <= line.size() - 2 + 4);
    FUZZ_CHECK(entry.name.size() <= line.size() - 2);
    for (char c : name) {
        auto b = static_cast<unsigned char>(c);
        FUZZ_CHECK(c != ',' && (b < 0x61 || b > 0x7F));
    }
    std::string again = name;
    tunehdr::to_upper_ascii(again.data(), again.size());
    tunehdr::apply_name_prefix(again);
    FUZZ_CHECK(again == name);  // a converted name converts to itself
    return 0;
}
