#include "deck/WordList.h"

#include <algorithm>
#include <stdexcept>

#include "deck/AnkiDirectives.h"
#include "deck/Cp932Fields.h"
#include "deck/Cp932Text.h"
#include "deck/CsvDialect.h"
#include "deck/CsvRecords.h"
#include "deck/DeckError.h"
#include "deck/DeckText.h"
#include "deck/HtmlField.h"
#include "deck/WordListDecoded.h"
#include "deck/WordListText.h"

namespace korva {

namespace {

// Typed text and a list's text are held alike in a UTF-8 deck, so that one
// letter written two ways is one item and one answer. Most fields are ASCII,
// which no normalization changes.
std::string ComposedUtf8(std::string text) {
    if (std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        return text;
    }
    return *ItemFromUtf8(ItemEncoding::Utf8, text);
}

// A code page 932 field as a UTF-8 deck holds it. Bytes that do not decode
// would change the text unseen: refused, or with replace shown as U+FFFD,
// each noted.
std::string DecodedCp932(std::string_view bytes, int line, bool replace, Replacements& replaced) {
    if (std::optional<std::string> text = Cp932ToUtf8Exact(bytes)) {
        return std::move(*text);
    }
    if (!replace) {
        throw DeckError({.kind = DeckErrorKind::BadBytes, .line = line, .text = "Shift_JIS"});
    }
    // Code page 932 has no U+FFFD of its own: each one stands for bytes.
    constexpr std::string_view mark = "\xEF\xBF\xBD";
    std::string text = Cp932ToUtf8(bytes);
    for (std::size_t at = text.find(mark); at != std::string::npos; at = text.find(mark, at + mark.size())) {
        replaced.Note(line, mark);
    }
    return text;
}

// The text after its directives.
std::string_view Body(const WordListText& text, const AnkiHeader& header) { return text.Text().substr(header.length); }

// What the text says of itself, then what the options ask: a choice that
// departs from the classic rules makes the file read by the new ones, and so
// do directives. The line end is left to the caller: reading learns it as it
// goes.
WordListFormat ResolveFormat(const WordListText& text, const AnkiHeader& header, const WordListOptions& options) {
    const std::string_view t = Body(text, header);
    const bool cp932OrAscii =
        text.encoding == TextEncoding::Cp932 || (text.encoding == TextEncoding::Utf8 && text.ascii);
    const char guessed = header.separator ? *header.separator : GuessSeparator(t);
    const bool classicText =
        header.directives.empty() &&
        IsClassic(t, cp932OrAscii, text.bom, guessed, HasQuotedField(t, guessed) || HasQuotedField(t, ','));
    WordListFormat format;
    format.encoding = text.encoding;
    format.bom = text.bom;
    format.classic = classicText && options.separator.value_or(',') == ',' &&
                     options.quoting.value_or(Quoting::None) == Quoting::None;
    format.separator = options.separator.value_or(format.classic ? ',' : guessed);
    if (!format.classic) {
        format.quoting = options.quoting.value_or(HasQuotedField(t, format.separator) ? Quoting::Rfc : Quoting::None);
    }
    return format;
}

// Columns 1 and 2 are always there, as in the classic rules, so that a list
// of single words reads as cards with an empty item 2.
void RequireColumnsPresent(const WordList& list, const WordListOptions& options) {
    if (list.records == 0) {
        return;
    }
    for (const int column : {options.itemColumn1, options.itemColumn2}) {
        if (column > 2 && column > list.fields) {
            throw DeckError({.kind = DeckErrorKind::MissingColumn, .number = column, .value = list.fields});
        }
    }
}

// Field column (1-based) of a line cut at commas, "" past its last.
std::string_view FieldOf(std::string_view line, int column) {
    for (; column > 1; --column) {
        const std::size_t comma = line.find(',');
        if (comma == std::string_view::npos) {
            return {};
        }
        line.remove_prefix(comma + 1);
    }
    return line.substr(0, line.find(','));
}

// The lines of a classic file. A header line is no card, so a full list
// may have one line more, and one past that is too many cards, not lines.
std::vector<std::string_view> ClassicLines(std::string_view text, bool header) {
    if (!header) {
        return SplitCsvLines(text);
    }
    try {
        return SplitCsvLines(text, static_cast<std::size_t>(MaxCards) + 1);
    } catch (const DeckError&) {
        throw DeckError(DeckErrorKind::TooManyCards);
    }
}

// Records between two reports of progress: often enough for a bar to move
// through a list of a hundred megabytes, rarely enough to cost nothing.
constexpr int ProgressRecords = 1024;

// Today's rules byte for byte: with the first two columns and no header,
// every row is SplitCsvFields's, as ReadCsvRows makes it.
void ReadClassic(std::string_view text, const WordListOptions& options, const ReadProgress& progress, WordList& list) {
    const std::vector<std::string_view> lines = ClassicLines(text, options.header);
    const bool firstTwo = options.itemColumn1 == 1 && options.itemColumn2 == 2;
    list.rows.reserve(lines.size());
    for (const std::string_view line : lines) {
        if (progress && list.records % ProgressRecords == 0) {
            progress(static_cast<double>(list.records) / static_cast<double>(lines.size()));
        }
        const auto fields = static_cast<int>(std::count(line.begin(), line.end(), ',')) + 1;
        list.fields = std::max(list.fields, fields);
        if (++list.records == 1) {
            const auto named = static_cast<int>(std::min<std::size_t>(fields, WordList::NamedColumns));
            for (int column = 1; column <= named; ++column) {
                list.firstRecord.push_back(Cp932ToUtf8(FieldOf(line, column)));
            }
            if (options.header) {
                continue;
            }
        }
        if (firstTwo) {
            list.rows.push_back(SplitCsvFields(line));
        } else {
            list.rows.push_back(CsvRow{std::string(FieldOf(line, options.itemColumn1)),
                                       std::string(FieldOf(line, options.itemColumn2))});
        }
        if (options.items == ItemEncoding::Utf8) {
            // A classic file is code page 932 or ASCII, whose decoding is
            // composed already.
            for (std::string& item : list.rows.back()) {
                item = DecodedCp932(item, list.records, options.replace, list.replaced);
            }
        }
        RequireItemFits(list.rows.back()[0].size(), list.records, options.itemColumn1);
        RequireItemFits(list.rows.back()[1].size(), list.records, options.itemColumn2);
    }
}

// A field's text as a column name or a card item shows it, UTF-8.
std::string ShownText(const std::string& text, bool html) { return html ? HtmlFieldText(text) : text; }

// A field of HTML as a card holds it. A replaced character is named by the
// line its field starts on: the lines of the source are gone from the text.
std::string HtmlItem(std::string_view utf8, int line, bool replace, WordList& list) {
    const std::string text = HtmlFieldText(utf8);
    const auto convert = [&](std::string_view part) {
        return FieldToCp932(part, line, replace, list.equivalents, list.replaced);
    };
    std::string item;
    std::size_t start = 0;
    for (std::size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n', start)) {
        item += convert(std::string_view(text).substr(start, end - start)) + "\n";
        start = end + 1;
    }
    return item + convert(std::string_view(text).substr(start));
}

// Reads records of text that is UTF-8 (fieldsUtf8) or code page 932.
class RecordsToRows {
public:
    RecordsToRows(const WordListOptions& options, bool fieldsUtf8, bool html, const ReadProgress& progress,
                  WordList& list)
        : Options_(options), FieldsUtf8_(fieldsUtf8), Html_(html), Progress_(progress), List_(list) {}

    void Read(std::string_view text, int firstLine) {
        CsvRecordReader reader(text, List_.format.separator, List_.format.quoting, firstLine, !FieldsUtf8_);
        const auto items = static_cast<std::size_t>(std::max(Options_.itemColumn1, Options_.itemColumn2));
        for (;;) {
            const std::size_t kept = List_.records == 0 ? std::max(items, WordList::NamedColumns) : items;
            if (Progress_ && List_.records % ProgressRecords == 0) {
                Progress_(text.empty() ? 0.0
                                       : static_cast<double>(reader.Position()) / static_cast<double>(text.size()));
            }
            const std::size_t count = reader.Next(Fields_, kept);
            if (count == 0) {
                break;
            }
            List_.fields = std::max(List_.fields, static_cast<int>(count));
            if (++List_.records == 1) {
                for (std::size_t i = 0; i < std::min(count, WordList::NamedColumns); ++i) {
                    const std::string field = reader.FieldText(Fields_[i]);
                    List_.firstRecord.push_back(ShownText(FieldsUtf8_ ? field : Cp932ToUtf8(field), Html_));
                }
                if (Options_.header) {
                    continue;
                }
            }
            if (List_.rows.size() == static_cast<std::size_t>(MaxCards)) {
                throw DeckError(DeckErrorKind::TooManyCards);
            }
            List_.rows.push_back(CsvRow{Item(reader, Options_.itemColumn1), Item(reader, Options_.itemColumn2)});
        }
        List_.format.lineEnd = reader.LineEnds();
    }

private:
    std::string Item(const CsvRecordReader& reader, int column) {
        const auto index = static_cast<std::size_t>(column - 1);
        if (index >= Fields_.size()) {
            return {};
        }
        std::string text = reader.FieldText(Fields_[index]);
        const int line = Fields_[index].line;
        std::string item;
        if (Options_.items == ItemEncoding::Utf8) {
            std::string utf8 =
                FieldsUtf8_ ? std::move(text) : DecodedCp932(text, line, Options_.replace, List_.replaced);
            item = ComposedUtf8(Html_ ? HtmlFieldText(utf8) : std::move(utf8));
        } else if (Html_) {
            item = HtmlItem(FieldsUtf8_ ? text : Cp932ToUtf8(text), line, Options_.replace, List_);
        } else {
            item = FieldsUtf8_ ? FieldToCp932(text, line, Options_.replace, List_.equivalents, List_.replaced) : text;
        }
        RequireItemFits(item.size(), line, column);
        return item;
    }

    const WordListOptions& Options_;
    bool FieldsUtf8_;
    bool Html_;
    const ReadProgress& Progress_;
    WordList& List_;
    std::vector<CsvField> Fields_;
};

std::vector<std::string> FirstRecord(std::string_view text, const WordListFormat& format, bool html) {
    CsvRecordReader reader(text, format.separator, format.quoting);
    std::vector<CsvField> fields;
    reader.Next(fields, WordList::NamedColumns);
    std::vector<std::string> names;
    names.reserve(fields.size());
    for (const CsvField& field : fields) {
        names.push_back(ShownText(reader.FieldText(field), html));
    }
    return names;
}

void ReadRecords(const WordListText& text, const AnkiHeader& header, const WordListOptions& options,
                 const ReadProgress& progress, WordList& list) {
    const std::string_view body = Body(text, header);
    const int firstLine = header.lines + 1;
    if (!text.IsUtf8()) {
        RecordsToRows(options, false, header.html, progress, list).Read(body, firstLine);
        return;
    }
    // Most lists hold only characters code page 932 has: the whole text is
    // converted at once, and only a list that holds others is converted
    // field by field, to name or replace them. A UTF-8 deck takes the text
    // as it is.
    if (options.items == ItemEncoding::Cp932) {
        if (const std::optional<std::string> cp932 = Utf8ToCp932(body)) {
            RecordsToRows(options, false, header.html, progress, list).Read(*cp932, firstLine);
            list.firstRecord = FirstRecord(body, list.format, header.html);
            return;
        }
    }
    RecordsToRows(options, true, header.html, progress, list).Read(body, firstLine);
}

}  // namespace

void Replacements::Note(int line, std::string_view character) {
    if (first.size() < Kept) {
        first.push_back(ReplacedCharacter{line, std::string(character)});
    }
    ++count;
}

void RequireValidWordListOptions(const WordListOptions& options) {
    if (options.separator && !IsWordListSeparator(*options.separator)) {
        throw DeckError(DeckErrorKind::BadSeparator);
    }
    for (const int column : {options.itemColumn1, options.itemColumn2}) {
        if (column < 1) {
            throw DeckError(DeckErrorKind::BadColumnNumber);
        }
    }
}

WordListFormat DetectedWordListFormat(const WordListText& text, const AnkiHeader& header) {
    WordListFormat format = ResolveFormat(text, header, {});
    format.lineEnd = CombineLineEnds(header.lineEnd, LineEndsOf(Body(text, header), format.separator,
                                                                format.quoting == Quoting::Rfc, format.classic));
    return format;
}

WordListFormat UndecodableWordListFormat(std::string_view bytes) {
    WordListFormat format;
    format.encoding = bytes.starts_with("\xEF\xBB\xBF") ? TextEncoding::Utf8
                      : bytes.starts_with("\xFE\xFF")   ? TextEncoding::Utf16Be
                                                        : TextEncoding::Utf16Le;
    format.bom = true;
    format.lineEnd = LineEnd::Unknown;
    format.classic = false;
    return format;
}

WordList ReadDecodedWordList(const WordListText& text, const AnkiHeader& header, const WordListOptions& options,
                             const ReadProgress& progress) {
    WordList list;
    list.items = options.items;
    list.dropped = text.dropped;
    list.format = ResolveFormat(text, header, options);
    if (list.format.classic) {
        list.format.lineEnd = LineEndsOf(text.Text(), ',', false, true);
        ReadClassic(text.Text(), options, progress, list);
    } else {
        ReadRecords(text, header, options, progress, list);
        list.format.lineEnd = CombineLineEnds(header.lineEnd, list.format.lineEnd);
    }
    list.directives = header.directives;
    list.columnNames = header.ColumnNames(list.format.separator);
    RequireColumnsPresent(list, options);
    return list;
}

WordListFormat DetectWordListFormat(std::string_view bytes) {
    try {
        const WordListText text = DecodeWordListText(bytes, std::nullopt);
        return DetectedWordListFormat(text, ReadAnkiHeader(text.Text(), text.IsUtf8()));
    } catch (const DeckError&) {
        // Only a text whose mark names a UTF encoding can fail to decode
        // here, and reading names the line.
        return UndecodableWordListFormat(bytes);
    }
}

WordList ReadWordList(std::string_view bytes, const WordListOptions& options) {
    RequireValidWordListOptions(options);
    const WordListText text = DecodeWordListText(bytes, options.encoding);
    return ReadDecodedWordList(text, options.directives ? ReadAnkiHeader(text.Text(), text.IsUtf8()) : AnkiHeader{},
                               options);
}

void ImportWordList(WordList&& list, CardData& data, bool DataKeep) {
    const ItemEncoding encoding = data.encoding;
    if (list.items != encoding) {
        if (list.items == ItemEncoding::Utf8) {
            throw std::invalid_argument("a code page 932 deck takes only a list read as code page 932");
        }
        for (CsvRow& row : list.rows) {
            for (std::string& item : row) {
                item = ItemToUtf8(ItemEncoding::Cp932, item);
            }
        }
    }
    ImportCsvRows(std::move(list.rows), data, DataKeep);
    data.encoding = encoding;
}

}  // namespace korva
