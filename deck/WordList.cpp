#include "deck/WordList.h"

#include <algorithm>

#include "deck/Cp932Fields.h"
#include "deck/Cp932Text.h"
#include "deck/CsvDialect.h"
#include "deck/CsvRecords.h"
#include "deck/DeckError.h"
#include "deck/WordListText.h"

namespace korva {

namespace {

// What the text says of itself, then what the options ask: a choice that
// departs from the classic rules makes the file read by the new ones. The
// line end is left to the caller: reading learns it as it goes.
WordListFormat ResolveFormat(const WordListText& text, const WordListOptions& options) {
    const std::string_view t = text.Text();
    const bool cp932OrAscii =
        text.encoding == TextEncoding::Cp932 || (text.encoding == TextEncoding::Utf8 && text.ascii);
    const char guessed = GuessSeparator(t);
    const bool classicText =
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

void RequireValidOptions(const WordListOptions& options) {
    if (options.separator && *options.separator != ',' && *options.separator != '\t' && *options.separator != ';') {
        throw DeckError("区切り文字はコンマ、タブ、セミコロンのどれかです。");
    }
    for (const int column : {options.itemColumn1, options.itemColumn2}) {
        if (column < 1) {
            throw DeckError("列の番号は1から数えます。");
        }
    }
}

// Columns 1 and 2 are always there, as in the classic rules, so that a list
// of single words reads as cards with an empty item 2.
void RequireColumnsPresent(const WordList& list, const WordListOptions& options) {
    if (list.records == 0) {
        return;
    }
    for (const int column : {options.itemColumn1, options.itemColumn2}) {
        if (column > 2 && column > list.fields) {
            throw DeckError(std::to_string(column) + "列目がありません。このファイルの項目は最も多い行で" +
                            std::to_string(list.fields) + "列です。");
        }
    }
}

DeckError TooManyCards() { return DeckError("カードが" + std::to_string(MaxCards) + "枚を超えています。"); }

std::vector<std::string_view> CutAtCommas(std::string_view line) {
    std::vector<std::string_view> fields;
    for (std::size_t comma = line.find(','); comma != std::string_view::npos; comma = line.find(',')) {
        fields.push_back(line.substr(0, comma));
        line.remove_prefix(comma + 1);
    }
    fields.push_back(line);
    return fields;
}

std::string FieldOrEmpty(const std::vector<std::string_view>& fields, int column) {
    const auto index = static_cast<std::size_t>(column - 1);
    return index < fields.size() ? std::string(fields[index]) : std::string();
}

// Today's rules byte for byte: with the first two columns and no header,
// every row is SplitCsvFields's, as ReadCsvRows makes it.
void ReadClassic(std::string_view text, const WordListOptions& options, WordList& list) {
    const std::vector<std::string_view> lines = SplitCsvLines(text);
    const bool firstTwo = options.itemColumn1 == 1 && options.itemColumn2 == 2;
    list.rows.reserve(lines.size());
    for (const std::string_view line : lines) {
        const auto fields = static_cast<int>(std::count(line.begin(), line.end(), ',')) + 1;
        list.fields = std::max(list.fields, fields);
        if (++list.records == 1) {
            for (const std::string_view field : CutAtCommas(line)) {
                list.firstRecord.push_back(Cp932ToUtf8(field));
            }
            if (options.header) {
                continue;
            }
        }
        if (firstTwo) {
            list.rows.push_back(SplitCsvFields(line));
        } else {
            const std::vector<std::string_view> cut = CutAtCommas(line);
            list.rows.push_back(CsvRow{FieldOrEmpty(cut, options.itemColumn1), FieldOrEmpty(cut, options.itemColumn2)});
        }
        RequireItemFits(list.rows.back()[0].size(), list.records, options.itemColumn1);
        RequireItemFits(list.rows.back()[1].size(), list.records, options.itemColumn2);
    }
}

// Reads records of text that is UTF-8 (fieldsUtf8) or code page 932.
class RecordsToRows {
public:
    RecordsToRows(const WordListOptions& options, bool fieldsUtf8, WordList& list)
        : Options_(options), FieldsUtf8_(fieldsUtf8), List_(list) {}

    void Read(std::string_view text) {
        CsvRecordReader reader(text, List_.format.separator, List_.format.quoting);
        while (reader.Next(Fields_, Lines_)) {
            List_.fields = std::max(List_.fields, static_cast<int>(Fields_.size()));
            if (++List_.records == 1) {
                for (const std::string& field : Fields_) {
                    List_.firstRecord.push_back(FieldsUtf8_ ? field : Cp932ToUtf8(field));
                }
                if (Options_.header) {
                    continue;
                }
            }
            if (List_.rows.size() == static_cast<std::size_t>(MaxCards)) {
                throw TooManyCards();
            }
            List_.rows.push_back(CsvRow{Item(Options_.itemColumn1), Item(Options_.itemColumn2)});
        }
        List_.format.lineEnd = reader.LineEnds();
    }

private:
    std::string Item(int column) {
        const auto index = static_cast<std::size_t>(column - 1);
        if (index >= Fields_.size()) {
            return {};
        }
        std::string item = FieldsUtf8_ ? FieldToCp932(Fields_[index], Lines_[index], Options_.replace,
                                                      List_.equivalents, List_.replaced)
                                       : Fields_[index];
        RequireItemFits(item.size(), Lines_[index], column);
        return item;
    }

    const WordListOptions& Options_;
    bool FieldsUtf8_;
    WordList& List_;
    std::vector<std::string> Fields_;
    std::vector<int> Lines_;
};

std::vector<std::string> FirstRecord(std::string_view text, const WordListFormat& format) {
    CsvRecordReader reader(text, format.separator, format.quoting);
    std::vector<std::string> fields;
    std::vector<int> lines;
    reader.Next(fields, lines);
    return fields;
}

void ReadRecords(const WordListText& text, const WordListOptions& options, WordList& list) {
    if (!text.IsUtf8()) {
        RecordsToRows(options, false, list).Read(text.Text());
        return;
    }
    // Most lists hold only characters code page 932 has: the whole text is
    // converted at once, and only a list that holds others is converted
    // field by field, to name or replace them.
    if (const std::optional<std::string> cp932 = Utf8ToCp932(text.Text())) {
        RecordsToRows(options, false, list).Read(*cp932);
        list.firstRecord = FirstRecord(text.Text(), list.format);
        return;
    }
    RecordsToRows(options, true, list).Read(text.Text());
}

}  // namespace

void Replacements::Note(int line, std::string_view character) {
    if (first.size() < Kept) {
        first.push_back(ReplacedCharacter{line, std::string(character)});
    }
    ++count;
}

WordListFormat DetectWordListFormat(std::string_view bytes) {
    try {
        const WordListText text = DecodeWordListText(bytes, std::nullopt);
        WordListFormat format = ResolveFormat(text, {});
        format.lineEnd = LineEndsOf(text.Text(), format.separator, format.quoting == Quoting::Rfc, format.classic);
        return format;
    } catch (const DeckError&) {
        // Only a text whose mark names a UTF encoding can fail to decode
        // here, and reading names the line.
        WordListFormat format;
        format.encoding = bytes.starts_with("\xEF\xBB\xBF") ? TextEncoding::Utf8
                          : bytes.starts_with("\xFE\xFF")   ? TextEncoding::Utf16Be
                                                            : TextEncoding::Utf16Le;
        format.bom = true;
        format.lineEnd = LineEnd::Unknown;
        format.classic = false;
        return format;
    }
}

WordList ReadWordList(std::string_view bytes, const WordListOptions& options) {
    RequireValidOptions(options);
    const WordListText text = DecodeWordListText(bytes, options.encoding);
    WordList list;
    list.dropped = text.dropped;
    list.format = ResolveFormat(text, options);
    if (list.format.classic) {
        list.format.lineEnd = LineEndsOf(text.Text(), ',', false, true);
        ReadClassic(text.Text(), options, list);
    } else {
        ReadRecords(text, options, list);
    }
    RequireColumnsPresent(list, options);
    return list;
}

void ImportWordList(WordList&& list, CardData& data, bool DataKeep) {
    ImportCsvRows(std::move(list.rows), data, DataKeep);
}

}  // namespace korva
