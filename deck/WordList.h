#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "deck/CardData.h"
#include "deck/CsvRows.h"

namespace korva {

// One reader for every word list people bring: the classic code page 932
// file, and what spreadsheets, Python and pandas write (UTF-8 or UTF-16, any
// line end, RFC 4180 quoting, tabs or semicolons, a header line).

enum class TextEncoding { Cp932, Utf8, Utf16Le, Utf16Be };
// Unknown: the text does not decode, so its lines cannot be told.
enum class LineEnd { None, CrLf, Lf, Cr, Mixed, Unknown };
enum class Quoting { Rfc, None };

// What a file's bytes say of themselves.
struct WordListFormat {
    TextEncoding encoding = TextEncoding::Cp932;
    bool bom = false;
    LineEnd lineEnd = LineEnd::None;
    char separator = ',';  // ',', '\t', ';', '|', ' ' or ':'
    Quoting quoting = Quoting::None;
    // Read by the classic rules, byte for byte: a lone LF is text, no
    // quoting, the first two comma-separated fields.
    bool classic = true;

    bool operator==(const WordListFormat&) const = default;
};

// How to read a file: what is not set here is detected.
struct WordListOptions {
    std::optional<TextEncoding> encoding{};
    std::optional<char> separator{};
    std::optional<Quoting> quoting{};
    bool header = false;  // the first record is a header, not a card
    int itemColumn1 = 1;  // 1-based field numbers of item 1 and item 2
    int itemColumn2 = 2;
    // What the cards are made in. Cp932: characters code page 932 cannot
    // hold become an equivalent it holds, or are refused (or replaced, see
    // replace). Utf8, for a deck of that encoding (a .korva deck): every
    // character is kept, in its composed form (NFC) as typed text is held;
    // a code page 932 file's bytes are decoded, and bytes that do not decode
    // are refused, naming the line (or with replace become U+FFFD).
    // Invisible format characters are dropped and counted either way, and
    // line breaks inside items are kept as the file has them.
    ItemEncoding items = ItemEncoding::Cp932;
    // Characters code page 932 cannot hold and has no equivalent of become
    // their base letter or 〓 instead of refusing the file (for Utf8 items:
    // code page 932 bytes that do not decode become U+FFFD).
    bool replace = false;
    // Leading lines such as `#separator:tab` say how to read the file; when
    // false they are records like any other, for a list whose first card
    // only looks like one.
    bool directives = true;
};

// A character code page 932 cannot hold, with the file line it stands on
// (1-based, counting the line breaks inside quoted fields too).
struct ReplacedCharacter {
    int line = 0;
    std::string character;  // UTF-8

    bool operator==(const ReplacedCharacter&) const = default;
};

// What replacement changed: how many characters, and the first of them with
// their lines. A list in a language code page 932 lacks can need millions,
// and keeping each would take gigabytes; the first ones show where to look
// and the count tells how many there are.
struct Replacements {
    static constexpr std::size_t Kept = 100;

    std::vector<ReplacedCharacter> first;  // at most Kept, in file order
    std::size_t count = 0;

    void Note(int line, std::string_view character);

    bool operator==(const Replacements&) const = default;
};

// A leading line such as `#separator:tab` that says how to read the file,
// as Anki writes them: key and value as written, in UTF-8.
struct WordListDirective {
    std::string key;
    std::string value;

    bool operator==(const WordListDirective&) const = default;
};

struct WordList {
    // Columns named, and fields kept of the first record: a line may hold a
    // million fields, and nobody picks from a list that long.
    static constexpr std::size_t NamedColumns = 256;

    WordListFormat format;                      // as read: detected, then the options applied
    std::vector<CsvRow> rows;                   // one card each, texts in items' encoding
    ItemEncoding items = ItemEncoding::Cp932;   // as the options asked
    int records = 0;                            // records in the file, the header included
    int fields = 0;                             // the most fields any record has
    std::vector<std::string> firstRecord;       // the first record's first NamedColumns fields, UTF-8
    Replacements replaced;                      // what replace changed
    std::vector<WordListDirective> directives;  // not counted among the records
    std::vector<std::string> columnNames;       // UTF-8, by the directives; "" where none names the column
    Replacements equivalents;                   // characters read as code page 932's equivalent
    std::size_t dropped = 0;                    // invisible characters left out

    bool operator==(const WordList&) const = default;
};

// What the bytes of a word list look like, before any choice of the user's.
// Never throws: a UTF-16 text that does not decode is reported by its mark,
// and reading it names the line.
WordListFormat DetectWordListFormat(std::string_view bytes);

// Reads the bytes with the options. Leading directives decide the separator
// (unless the options do) and whether fields are HTML, whose text then
// becomes what it shows. Throws DeckError, with a reason that
// names the line, for a quote that never closes, bytes that are not of the
// encoding, a character code page 932 cannot hold and has no equivalent of
// (unless replace), an item longer than MaxItemBytes once in code page 932
// (naming its column too), a column past the file's fields, or more than
// MaxCards cards (a header is no card). A classic file read
// with the first two columns and no header gives exactly ReadCsvRows's rows.
// Columns 1 and 2 are never past the fields: a shorter record, as in the
// classic rules, gives empty items.
WordList ReadWordList(std::string_view bytes, const WordListOptions& options = {});

// Puts the list's cards into the deck as a fresh deck (DataKeep false) or
// after its cards (DataKeep true), then resets every check mark and question
// item. The deck keeps its Encoding, fresh or not: read the list with
// WordListOptions::items set to it. Code page 932 rows put into a UTF-8 deck
// are decoded as Cp932ToUtf8 shows them; UTF-8 rows cannot go into a code
// page 932 deck (std::invalid_argument, deck untouched). Throws DeckError,
// deck untouched, when the total would pass MaxCards.
void ImportWordList(WordList&& list, CardData& data, bool DataKeep);

}  // namespace korva
