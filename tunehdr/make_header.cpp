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
    song_entry entry;
    std::string define;
    return textio::for_each_line(list, header, [&](textio::text_line& line) {
        std::string_view content = line.content();
        if (is_song_entry_line(content)) {
            convert_song_entry(content, entry);
            define.assign("#define\t");
            define.append(entry.name);
            define.append("\t");
            define.append(entry.number);
            define.append("\r\n");
            header.write_bytes(define);
        } else if (is_header_line(content)) {
            header.write_line(line, 1);
        }
        return true;
    });
}

}  // namespace tunehdr
