#include "deck/Cp932Text.h"

#include <iconv.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <memory>

#include "deck/DeckError.h"
#include "deck/Utf8Char.h"

namespace korva {

namespace {

// One iconv descriptor per direction and thread: opening one costs far more
// than converting a short item text.
class Converter {
public:
    Converter(const char* to, const char* from) : Descriptor_(iconv_open(to, from)) {
        if (Descriptor_ == reinterpret_cast<iconv_t>(-1)) {  // NOLINT(performance-no-int-to-ptr): iconv's error value
            throw DeckError(DeckErrorKind::NoConverter);
        }
    }
    ~Converter() { iconv_close(Descriptor_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts as much of in as it can, appending to out. Returns false at a
    // sequence it cannot convert (in then points at it), true at the end.
    bool Convert(std::string_view& in, std::string& out) {
        iconv(Descriptor_, nullptr, nullptr, nullptr, nullptr);
        char buffer[1024];
        while (!in.empty()) {
            char* src = const_cast<char*>(in.data());
            std::size_t srcLeft = in.size();
            char* dst = buffer;
            std::size_t dstLeft = sizeof buffer;
            const std::size_t result = iconv(Descriptor_, &src, &srcLeft, &dst, &dstLeft);
            const int error = errno;
            out.append(buffer, static_cast<std::size_t>(dst - buffer));
            in.remove_prefix(in.size() - srcLeft);
            if (result == static_cast<std::size_t>(-1) && error != E2BIG) {
                return false;
            }
        }
        return true;
    }

private:
    iconv_t Descriptor_;
};

// Both decoders share one descriptor per thread.
Converter& Decoder() {
    thread_local Converter decoder("UTF-8", "CP932");
    return decoder;
}

bool IsAscii(std::string_view text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

bool IsLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool IsTrailByte(unsigned char b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

}  // namespace

std::size_t Cp932CharLength(std::string_view bytes, std::size_t pos) {
    const bool pair = pos + 1 < bytes.size() && IsLeadByte(static_cast<unsigned char>(bytes[pos])) &&
                      IsTrailByte(static_cast<unsigned char>(bytes[pos + 1]));
    return pair ? 2 : 1;
}

std::size_t FindCp932Char(std::string_view bytes, char c, std::size_t pos) {
    for (; pos < bytes.size(); pos += Cp932CharLength(bytes, pos)) {
        if (bytes[pos] == c) {
            return pos;
        }
    }
    return std::string_view::npos;
}

std::string Cp932ToUtf8(std::string_view bytes) {
    if (IsAscii(bytes)) {
        return std::string(bytes);
    }
    std::string out;
    out.reserve(bytes.size() * 3 / 2);
    while (!Decoder().Convert(bytes, out)) {
        // A lead byte with a well-formed trail byte is one unmapped character,
        // as Windows counts it; any other stray byte stands alone.
        const auto lead = static_cast<unsigned char>(bytes[0]);
        const bool pair = bytes.size() >= 2 && IsLeadByte(lead) && IsTrailByte(static_cast<unsigned char>(bytes[1]));
        bytes.remove_prefix(pair ? 2 : 1);
        out.append("\xEF\xBF\xBD");
    }
    return out;
}

std::optional<std::string> Cp932ToUtf8Exact(std::string_view bytes) {
    if (IsAscii(bytes)) {
        return std::string(bytes);
    }
    std::string out;
    out.reserve(bytes.size() * 3 / 2);
    if (!Decoder().Convert(bytes, out)) {
        return std::nullopt;
    }
    return out;
}

namespace {

bool EncodeOne(std::string_view utf8, std::string& out) {
    thread_local Converter encoder("CP932", "UTF-8");
    return encoder.Convert(utf8, out);
}

// The code page 932 form of every character of the basic plane that some
// code page 932 byte sequence decodes to, as the encoder itself writes it
// (where several sequences decode to one character, the encoder picks one):
// built once from iconv, so that converting a whole word list costs a table
// look-up per character instead of a pass through iconv. 0 where the table
// has no entry; the encoder is then asked for that one character.
using EncodeTable = std::array<std::uint16_t, 0x10000>;

std::unique_ptr<EncodeTable> BuildEncodeTable() {
    // Every lead and trail byte pair and every single byte above ASCII, one
    // per line: a sequence that does not decode shows as U+FFFD.
    std::string sequences;
    for (int lead = 0x80; lead <= 0xFF; ++lead) {
        sequences += static_cast<char>(lead);
        sequences += '\n';
        for (int trail = 0x40; trail <= 0xFC && IsLeadByte(static_cast<unsigned char>(lead)); ++trail) {
            if (IsTrailByte(static_cast<unsigned char>(trail))) {
                sequences += {static_cast<char>(lead), static_cast<char>(trail), '\n'};
            }
        }
    }
    auto table = std::make_unique<EncodeTable>();
    table->fill(0);
    const std::string decoded = Cp932ToUtf8(sequences);
    std::size_t start = 0;
    for (std::size_t end = decoded.find('\n'); end != std::string::npos; end = decoded.find('\n', start)) {
        const std::string_view character = std::string_view(decoded).substr(start, end - start);
        start = end + 1;
        const std::size_t length = character.empty() ? 0 : Utf8CharLength(character, 0);
        if (length == 0 || length != character.size() || character == "\xEF\xBF\xBD") {
            continue;
        }
        std::string bytes;
        const char32_t c = Utf8CodePoint(character, 0, length);
        if (c < table->size() && EncodeOne(character, bytes) && !bytes.empty() && bytes.size() <= 2) {
            (*table)[c] = static_cast<std::uint16_t>(bytes.size() == 1 ? static_cast<unsigned char>(bytes[0])
                                                                       : (static_cast<unsigned char>(bytes[0]) << 8) |
                                                                             static_cast<unsigned char>(bytes[1]));
        }
    }
    return table;
}

const EncodeTable& Cp932EncodeTable() {
    static const std::unique_ptr<EncodeTable> table = BuildEncodeTable();
    return *table;
}

}  // namespace

std::optional<std::string> Utf8ToCp932(std::string_view utf8) {
    if (IsAscii(utf8)) {
        return std::string(utf8);
    }
    const EncodeTable& table = Cp932EncodeTable();
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[pos]);
        if (lead < 0x80) {
            out.push_back(static_cast<char>(lead));
            ++pos;
            continue;
        }
        const std::size_t length = Utf8CharLength(utf8, pos);
        if (length == 0) {
            return std::nullopt;
        }
        const char32_t c = Utf8CodePoint(utf8, pos, length);
        const std::uint16_t code = c < table.size() ? table[c] : 0;
        if (code > 0xFF) {
            out.push_back(static_cast<char>(code >> 8));
        }
        if (code != 0) {
            out.push_back(static_cast<char>(code & 0xFF));
        } else if (!EncodeOne(utf8.substr(pos, length), out)) {
            return std::nullopt;
        }
        pos += length;
    }
    return out;
}

std::vector<char32_t> Cp932Characters() {
    const EncodeTable& table = Cp932EncodeTable();
    std::vector<char32_t> characters;
    for (char32_t c = 0x80; c < table.size(); ++c) {
        if (table[c] != 0) {
            characters.push_back(c);
        }
    }
    return characters;
}

}  // namespace korva
