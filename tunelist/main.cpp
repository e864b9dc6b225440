// tunelist: assembles the song list from a definition list and the fragments it includes,
// optionally renumbering the song entries into one running sequence.

#include "textio/console.h"
#include "textio/os_file.h"
#include "textio/text_input.h"
#include "textio/text_output.h"
#include "tunelist/assemble_list.h"

namespace {

[[noreturn]] void usage() {
    // "a program for managing tunebank.ini (the rest omitted)", in Shift_JIS.
    textio::print_message(
        "\ntunebank.ini\x82\xf0\x8a\xc7\x97\x9d\x82\xb7\x82\xe9\x82\xbd\x82\xdf\x82\xc9"
        "\x81\x69\x88\xc8\x89\xba\x97\xaa\x81\x6a\x82\xd5\x82\xeb\x82\xae\x82\xe7\x82\xde\n");
    textio::print_message("ex: tunelist input_file<*.def> output_file option\n");
    textio::exit_with(1);
}

}  // namespace

int main(int argc, char** argv) {
    textio::os::prepare_process();
    if (argc < 3) usage();
    const bool renumber = argc > 3;  // any third word, even an empty one

    textio::text_input definitions;
    textio::open_input_or_exit(definitions, argv[1]);
    if (auto refused = tunelist::refuse_output(definitions, argv[2])) textio::open_error(*refused);

    textio::text_output out;
    if (!out.open(argv[2])) textio::open_error(argv[2]);
    if (auto failed = tunelist::assemble_list(definitions, out, renumber)) {
        out.close();  // keeps what was written before the failure
        textio::open_error(*failed);
    }
    definitions.close();
    return textio::finish(textio::close_output(out));
}
