#include "deck/WordListSource.h"

#include <utility>

#include "deck/DeckError.h"

namespace korva {

namespace {

// Decoding takes about as long as one cut of the text.
constexpr double DecodedShare = 0.5;

// progress told of a part of the work, from start on for share of the whole.
ReadProgress PartOf(const ReadProgress& progress, double start, double share) {
    if (!progress) {
        return {};
    }
    return [&progress, start, share](double done) {
        progress(start + share * done);
    };
}

}  // namespace

WordListSource::WordListSource(std::string bytes, const ReadProgress& progress) : Bytes_(std::move(bytes)) {
    if (progress) {
        progress(0.0);
    }
    // The text detection decodes is that of the encoding it finds: a
    // byte-order mark or valid UTF-8 decides alike when that is chosen.
    Decoded detected = Decode(Bytes_, std::nullopt);
    Format_ =
        detected.text ? DetectedWordListFormat(*detected.text, detected.header) : UndecodableWordListFormat(Bytes_);
    Decoded_.emplace(Format_.encoding, std::move(detected));
    if (progress) {
        progress(1.0);
    }
}

WordListSource::Decoded WordListSource::Decode(std::string_view bytes, std::optional<TextEncoding> encoding) {
    Decoded decoded;
    try {
        decoded.text = DecodeWordListText(bytes, encoding);
        decoded.header = ReadAnkiHeader(decoded.text->Text(), decoded.text->IsUtf8());
    } catch (const DeckError&) {
        decoded.text.reset();
        decoded.failure = std::current_exception();
    }
    return decoded;
}

WordList WordListSource::Read(const WordListOptions& options, const ReadProgress& progress) {
    RequireValidWordListOptions(options);
    const TextEncoding encoding = options.encoding.value_or(Format_.encoding);
    auto found = Decoded_.find(encoding);
    const bool known = found != Decoded_.end();
    if (!known) {
        if (progress) {
            progress(0.0);
        }
        found = Decoded_.emplace(encoding, Decode(Bytes_, encoding)).first;
    }
    const Decoded& decoded = found->second;
    if (decoded.failure) {
        std::rethrow_exception(decoded.failure);
    }
    const double start = known ? 0.0 : DecodedShare;
    return ReadDecodedWordList(*decoded.text, options.directives ? decoded.header : AnkiHeader{}, options,
                               PartOf(progress, start, 1.0 - start));
}

}  // namespace korva
