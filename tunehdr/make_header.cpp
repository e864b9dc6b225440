#include "tunehdr/make_header.h"

#include <string>

#include "textio/line_loop.h"
#include "textio/os_file.h"
#include "tunehdr/song_entry.h"
#include "tunehdr/write_define.h"

namespace tunehdr {

bool header_is_the_list(const textio::text_input& list) {
    namespace os = textio::os;
    os::file_identity header = os::identify(std::string(header_name).c_str());
    return header.regular && os::same_file(header, os::identify(list.handle()));
}

namespace {

// A #define too long for the output's buffer: the name is upper-cased where it stands and the
// pieces are written one by one.
void write_long_define(textio::text_output& header, textio::text_line line) {
    song_entry entry = convert_song_entry(line.content());
    char* name = line.data + (entry.name.data() - line.data);
    to_upper_ascii(name, entry.name.size());
    for (std::string_view piece : {std::string_view("#define\t"), entry.prefix, entry.name,
                                   std::string_view("\t"), entry.number, std::string_view("\r\n")})
        header.write_bytes(piece);
}

}  // namespace

bool make_header(textio::text_input& list, textio::text_output& header) {
    return textio::visit_lines(list, header, [&](textio::text_line& line) TEXTIO_INLINE {
        std::string_view content = line.content();
        if (is_song_entry_line(content)) {
            const std::size_t most = content.size() + define_size_beyond_line;
            if (most <= textio::text_output::largest_reserve)
                header.commit(write_define(header.reserve(most), line));
            else
                write_long_define(header, line);
        } else if (is_header_line(content)) {
            header.write_line(line, 1);
        }
    });
}

}  // namespace tunehdr
