#include "deck/CsvRecords.h"

#include "deck/Cp932Text.h"
#include "deck/DeckError.h"

namespace korva {

namespace {

// Line breaks inside a quoted stretch, CR LF counted once.
int CountLineBreaks(std::string_view text) {
    int breaks = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))) {
            ++breaks;
        }
    }
    return breaks;
}

}  // namespace

std::size_t CsvRecordReader::Next(std::vector<CsvField>& fields, std::size_t kept) {
    fields.clear();
    if (Pos_ >= Text_.size()) {
        return 0;
    }
    std::size_t count = 0;
    CsvField field;
    for (char end = Separator_; end == Separator_; ++count) {
        end = ReadField(field);
        if (count < kept) {
            fields.push_back(field);
        }
    }
    return count;
}

char CsvRecordReader::ReadField(CsvField& field) {
    field.begin = Pos_;
    field.line = Line_;
    field.quoted = Quoting_ == Quoting::Rfc && Pos_ < Text_.size() && Text_[Pos_] == '"';
    if (field.quoted) {
        SkipQuoted();
    }
    while (Pos_ < Text_.size()) {
        const char c = Text_[Pos_];
        if (c == Separator_ || c == '\r' || c == '\n') {
            break;
        }
        Pos_ += SkipPairs_ ? Cp932CharLength(Text_, Pos_) : 1;
    }
    field.end = Pos_;
    if (Pos_ == Text_.size()) {
        return '\0';
    }
    if (Text_[Pos_] == Separator_) {
        ++Pos_;
        return Separator_;
    }
    NoteLineEnd();
    return '\n';
}

void CsvRecordReader::SkipQuoted() {
    const int openLine = Line_;
    ++Pos_;
    for (;;) {
        const std::size_t quote = Text_.find('"', Pos_);
        if (quote == std::string_view::npos) {
            throw DeckError({.kind = DeckErrorKind::UnclosedQuote, .line = static_cast<long long>(openLine)});
        }
        Line_ += CountLineBreaks(Text_.substr(Pos_, quote - Pos_));
        Pos_ = quote + 1;
        if (Pos_ == Text_.size() || Text_[Pos_] != '"') {
            return;
        }
        ++Pos_;
    }
}

std::string CsvRecordReader::FieldText(const CsvField& field) const {
    const std::string_view span = Text_.substr(field.begin, field.end - field.begin);
    if (!field.quoted) {
        return std::string(span);
    }
    std::string text;
    std::size_t pos = 1;
    for (;;) {
        const std::size_t quote = span.find('"', pos);
        text.append(span.substr(pos, quote - pos));
        pos = quote + 1;
        if (pos == span.size() || span[pos] != '"') {
            break;
        }
        text.push_back('"');
        ++pos;
    }
    text.append(span.substr(pos));  // what follows the closing quote
    return text;
}

void CsvRecordReader::NoteLineEnd() {
    ++Line_;
    if (Text_[Pos_] == '\n') {
        SawLf_ = true;
        ++Pos_;
    } else if (Pos_ + 1 < Text_.size() && Text_[Pos_ + 1] == '\n') {
        SawCrLf_ = true;
        Pos_ += 2;
    } else {
        SawCr_ = true;
        ++Pos_;
    }
}

LineEnd CsvRecordReader::LineEnds() const {
    const int kinds = int{SawCrLf_} + int{SawLf_} + int{SawCr_};
    if (kinds > 1) {
        return LineEnd::Mixed;
    }
    return SawCrLf_ ? LineEnd::CrLf : SawLf_ ? LineEnd::Lf : SawCr_ ? LineEnd::Cr : LineEnd::None;
}

LineEnd CombineLineEnds(LineEnd first, LineEnd second) {
    if (first == LineEnd::None || first == second) {
        return second;
    }
    return second == LineEnd::None ? first : LineEnd::Mixed;
}

}  // namespace korva
