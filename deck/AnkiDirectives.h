#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "deck/WordList.h"

namespace korva {

// The lines Anki writes at the head of its plain-text export, such as
// `#separator:tab` and `#html:true`: they say how to read the file and are
// no cards. Only leading lines whose key Anki defines count; any other `#`
// line is text.
struct AnkiHeader {
    std::vector<WordListDirective> directives;  // in file order, as written, UTF-8
    std::size_t length = 0;                     // bytes of the text the lines take, their line ends included
    int lines = 0;
    LineEnd lineEnd = LineEnd::None;  // the ends of those lines
    std::optional<char> separator;    // what #separator: names, when it names a separator
    bool html = false;

    // The 1-based columns the directives name (#columns:, and the columns
    // of tags, note types, decks and GUIDs), "" where none does. The names
    // of #columns: are cut at separator.
    std::vector<std::string> ColumnNames(char separator) const;
};

// The directives at the start of a decoded text (its byte-order mark gone),
// their values in UTF-8 whether the text is (utf8) or is code page 932.
AnkiHeader ReadAnkiHeader(std::string_view text, bool utf8);

}  // namespace korva
