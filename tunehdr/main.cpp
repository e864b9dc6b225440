// tunehdr: writes the C header mus_def.h from a song list, one #define per song entry.

#include <string>

#include "textio/console.h"
#include "textio/os_file.h"
#include "textio/text_input.h"
#include "textio/text_output.h"
#include "tunehdr/make_header.h"

namespace {

[[noreturn]] void usage() {
    textio::print_message("ex: tunehdr input_file<*.ini>\n");
    textio::exit_with(1);
}

}  // namespace

int main(int argc, char** argv) {
    textio::os::prepare_process();
    if (argc < 2) usage();

    textio::text_input list;
    textio::open_input_or_exit(list, argv[1]);
    if (tunehdr::header_is_the_list(list)) textio::open_error(tunehdr::header_name);

    textio::text_output header;
    if (!header.open(tunehdr::header_name)) textio::open_error(tunehdr::header_name);
    if (!tunehdr::make_header(list, header)) {
        header.close();  // keeps what was written before the failure
        textio::open_error(argv[1]);
    }
    list.close();
    return textio::finish(textio::close_output(header));
}
