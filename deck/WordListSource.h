#pragma once

#include <exception>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "deck/AnkiDirectives.h"
#include "deck/WordList.h"
#include "deck/WordListDecoded.h"
#include "deck/WordListText.h"

namespace korva {

// A word list's bytes, kept as they were read, and their text decoded once
// for each encoding it is read in: a change of how the list is cut reads the
// decoded text again, never the bytes nor the file. Neither copied nor
// moved: its decoded texts are views of its bytes.
class WordListSource {
public:
    // Detects the bytes' format and decodes them as detected; progress, if
    // set, hears how far that has come.
    explicit WordListSource(std::string bytes, const ReadProgress& progress = {});
    WordListSource(const WordListSource&) = delete;
    WordListSource& operator=(const WordListSource&) = delete;

    std::string_view getBytes() const { return Bytes_; }
    // What the bytes say of themselves, as DetectWordListFormat tells it.
    const WordListFormat& getFormat() const { return Format_; }

    // What ReadWordList(getBytes(), options) gives, decoding only an
    // encoding not read before. Throws as ReadWordList does, and whatever
    // progress throws.
    WordList Read(const WordListOptions& options, const ReadProgress& progress = {});

private:
    // One encoding's text, or why the bytes are not of it.
    struct Decoded {
        std::optional<WordListText> text;
        AnkiHeader header;
        std::exception_ptr failure;
    };

    static Decoded Decode(std::string_view bytes, std::optional<TextEncoding> encoding);

    const std::string Bytes_;
    WordListFormat Format_;
    std::map<TextEncoding, Decoded> Decoded_;
};

}  // namespace korva
