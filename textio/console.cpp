#include "textio/console.h"

#include <cstdlib>
#include <string>

#include "textio/text_input.h"
#include "textio/text_output.h"

namespace textio {

static text_output& console() {
    static text_output out;
    static bool attached = false;
    if (!attached) {
        out.attach(os::standard_output(), "standard output");
        attached = true;
    }
    return out;
}

void print_message(std::string_view text) { console().write_text(text); }

int finish(int status) {
    console().flush();
    return status;
}

void exit_with(int status) { std::exit(finish(status)); }

void open_error(std::string_view name) {
    std::string message = "\n";
    message.append(name);
    message.append(" open error\n");
    print_message(message);
    exit_with(1);
}

void open_input_or_exit(text_input& in, const char* name) {
    if (!in.open(name) || (!in.refill() && in.failed())) open_error(name);
}

int close_output(text_output& out) {
    if (out.close()) return 0;
    print_message("\n" + out.name() + " write error\n");
    return 255;
}

}  // namespace textio
