#include "deck/Cp932Text.h"

#include <iconv.h>

#include <cerrno>

#include "deck/DeckError.h"

namespace korva {

namespace {

// One iconv descriptor per direction and thread: opening one costs far more
// than converting a short item text.
class Converter {
public:
    Converter(const char* to, const char* from) : Descriptor_(iconv_open(to, from)) {
        if (Descriptor_ == reinterpret_cast<iconv_t>(-1)) {  // NOLINT(performance-no-int-to-ptr): iconv's error value
            throw DeckError("文字コードの変換を準備できません。");
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

std::optional<std::string> Utf8ToCp932(std::string_view utf8) {
    if (IsAscii(utf8)) {
        return std::string(utf8);
    }
    thread_local Converter encoder("CP932", "UTF-8");
    std::string out;
    out.reserve(utf8.size());
    if (!encoder.Convert(utf8, out)) {
        return std::nullopt;
    }
    return out;
}

}  // namespace korva
