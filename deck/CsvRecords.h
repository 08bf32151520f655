#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "deck/WordList.h"

namespace korva {

// Where one field stands in the text: a span, not a copy, so that a line of
// a million fields costs a few bytes of each rather than a string each.
struct CsvField {
    std::size_t begin = 0;
    std::size_t end = 0;
    int line = 0;         // the file line (1-based) the field starts on
    bool quoted = false;  // begins with `"`: its text is read by FieldText
};

// Cuts text into records and fields as spreadsheets write them: CR LF, LF
// and a lone CR end a record, and a final line end makes no record. With
// RFC 4180 quoting a field that starts with `"` runs to its closing `"`,
// `""` inside it is one `"`, and separators and line breaks inside it are
// text; a `"` anywhere else is an ordinary character. Text after a closing
// quote joins the field, as Python's csv module reads it.
class CsvRecordReader {
public:
    // firstLine is the file line the text starts on. In code page 932 text
    // (cp932) a separator that can be the second byte of a two-byte
    // character, such as `|`, is one only where it stands alone.
    CsvRecordReader(std::string_view text, char separator, Quoting quoting, int firstLine = 1, bool cp932 = false)
        : Text_(text),
          Separator_(separator),
          Quoting_(quoting),
          Line_(firstLine),
          SkipPairs_(cp932 && static_cast<unsigned char>(separator) >= 0x40) {}

    // Reads the next record: the spans of its first kept fields go into
    // fields, and the count of all its fields is returned; 0 at the end of
    // the text. Throws DeckError naming the line of a quote that never
    // closes.
    std::size_t Next(std::vector<CsvField>& fields, std::size_t kept);

    // A field's text: the quotes around it gone and `""` read as `"`.
    std::string FieldText(const CsvField& field) const;

    // The record ends seen so far.
    LineEnd LineEnds() const;

private:
    // Reads one field; returns the separator after it, '\n' at a line end,
    // '\0' at the end of the text.
    char ReadField(CsvField& field);
    void SkipQuoted();
    void NoteLineEnd();

    std::string_view Text_;
    char Separator_;
    Quoting Quoting_;
    std::size_t Pos_ = 0;
    int Line_ = 1;
    bool SkipPairs_ = false;
    bool SawCrLf_ = false;
    bool SawLf_ = false;
    bool SawCr_ = false;
};

// The kinds of line end of two stretches of one text.
LineEnd CombineLineEnds(LineEnd first, LineEnd second);

}  // namespace korva
