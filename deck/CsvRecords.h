#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "deck/WordList.h"

namespace korva {

// Cuts text into records and fields as spreadsheets write them: CR LF, LF
// and a lone CR end a record, and a final line end makes no record. With
// RFC 4180 quoting a field that starts with `"` runs to its closing `"`,
// `""` inside it is one `"`, and separators and line breaks inside it are
// text; a `"` anywhere else is an ordinary character. Text after a closing
// quote joins the field, as Python's csv module reads it.
class CsvRecordReader {
public:
    CsvRecordReader(std::string_view text, char separator, Quoting quoting)
        : Text_(text), Separator_(separator), Quoting_(quoting) {}

    // The next record's fields, and the file line (1-based) each field starts
    // on; false at the end of the text. Throws DeckError naming the line of a
    // quote that never closes.
    bool Next(std::vector<std::string>& fields, std::vector<int>& fieldLines);

    // The record ends seen so far.
    LineEnd LineEnds() const;

private:
    // Reads one field into field; returns the separator after it, '\n' at a
    // line end, '\0' at the end of the text.
    char ReadField(std::string& field);
    void ReadQuoted(std::string& field);
    void NoteLineEnd();

    std::string_view Text_;
    char Separator_;
    Quoting Quoting_;
    std::size_t Pos_ = 0;
    int Line_ = 1;
    bool SawCrLf_ = false;
    bool SawLf_ = false;
    bool SawCr_ = false;
};

}  // namespace korva
