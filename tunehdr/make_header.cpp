#include "tunehdr/make_header.h"

#include <string>

#include "textio/line_loop.h"
#include "textio/os_file.h"
#include "tunehdr/song_entry.h"

namespace tunehdr {

bool header_is_the_list(const textio::text_input& list) {
    namespace os = textio::os;
    os::file_identity header = os::identify(std::string(header_name).c_str());
    return header.regular && os::same_file(header, os::identify(list.handle()));
}

bool make_header(textio::text_input& list, textio::text_output& header) {
    return textio::for_each_line(list, header, [&](textio::text_line& line) {
        std::string_view content = line.content();
        if (is_song_entry_line(content)) {
            song_entry entry = convert_song_entry(line.data, line.content_size);
            header.write_bytes("#define\t");
            header.write_bytes(entry.prefix);
            header.write_bytes(entry.name);
            header.write_bytes("\t");
            header.write_bytes(entry.number);
            header.write_bytes("\r\n");
        } else if (is_header_line(content)) {
            header.write_line(line, 1);
        }
        return true;
    });
}

}  // namespace tunehdr
