#include "deck/CsvRecords.h"

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

bool CsvRecordReader::Next(std::vector<std::string>& fields, std::vector<int>& fieldLines) {
    if (Pos_ >= Text_.size()) {
        return false;
    }
    std::size_t count = 0;
    char end = Separator_;
    while (end == Separator_) {
        if (count == fields.size()) {
            fields.emplace_back();
        }
        fieldLines.resize(count + 1);
        fieldLines[count] = Line_;
        std::string& field = fields[count++];
        field.clear();
        end = ReadField(field);
    }
    fields.resize(count);
    return true;
}

char CsvRecordReader::ReadField(std::string& field) {
    if (Quoting_ == Quoting::Rfc && Pos_ < Text_.size() && Text_[Pos_] == '"') {
        ReadQuoted(field);
    }
    const std::size_t start = Pos_;
    while (Pos_ < Text_.size()) {
        const char c = Text_[Pos_];
        if (c == Separator_ || c == '\r' || c == '\n') {
            break;
        }
        ++Pos_;
    }
    field.append(Text_.substr(start, Pos_ - start));
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

void CsvRecordReader::ReadQuoted(std::string& field) {
    const int openLine = Line_;
    ++Pos_;
    for (;;) {
        const std::size_t quote = Text_.find('"', Pos_);
        if (quote == std::string_view::npos) {
            throw DeckError(std::to_string(openLine) + "行目: 引用符 (\") で始まる項目が閉じていません");
        }
        const std::string_view inside = Text_.substr(Pos_, quote - Pos_);
        Line_ += CountLineBreaks(inside);
        field.append(inside);
        Pos_ = quote + 1;
        if (Pos_ == Text_.size() || Text_[Pos_] != '"') {
            return;
        }
        field.push_back('"');
        ++Pos_;
    }
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

}  // namespace korva
