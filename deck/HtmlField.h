#pragma once

#include <string>
#include <string_view>

namespace korva {

// The text a field written as HTML shows, as a card holds it (UTF-8 in and
// out): <br> and the edges of div, p and li blocks become line breaks (LF,
// as spreadsheets break lines inside a cell), other tags and comments go,
// character references are decoded, and a line break of the source is a
// space. As a browser shows it, no space starts or ends a line (but a
// `&nbsp;`). A `<` or `&` that starts no tag or reference stays as it is,
// and line breaks at the end go.
std::string HtmlFieldText(std::string_view html);

}  // namespace korva
