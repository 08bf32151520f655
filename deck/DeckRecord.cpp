#include "deck/DeckRecord.h"

#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "deck/DeckConversion.h"
#include "deck/DeckError.h"
#include "deck/GrowArrays.h"

namespace korva {

namespace {

constexpr uint16_t GridDimensions = 2;
constexpr uint16_t ListDimensions = 1;
constexpr uint32_t ItemSlots = 3;
constexpr std::size_t MaxTextBytes = std::numeric_limits<uint16_t>::max();

[[noreturn]] void Damaged(Damage damage, DeckArray array = DeckArray::Items) {
    throw DeckError({.kind = DeckErrorKind::Damaged, .damage = damage, .array = array});
}

// Little-endian reads that never step past the end of the bytes.
class ByteReader {
public:
    explicit ByteReader(std::string_view bytes) : Bytes_(bytes) {}

    std::size_t Position() const { return Pos_; }
    std::size_t Remaining() const { return Bytes_.size() - Pos_; }

    uint16_t U16() {
        Need(2);
        const auto* p = Data();
        Pos_ += 2;
        return static_cast<uint16_t>(p[0] | (p[1] << 8));
    }
    int16_t I16() { return static_cast<int16_t>(U16()); }
    uint32_t U32() {
        Need(4);
        const auto* p = Data();
        Pos_ += 4;
        return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
               (static_cast<uint32_t>(p[3]) << 24);
    }
    int32_t I32() { return static_cast<int32_t>(U32()); }
    uint8_t U8() {
        Need(1);
        return static_cast<uint8_t>(Bytes_[Pos_++]);
    }
    std::string_view Bytes(std::size_t n) {
        Need(n);
        auto view = Bytes_.substr(Pos_, n);
        Pos_ += n;
        return view;
    }

private:
    void Need(std::size_t n) const {
        if (Remaining() < n) {
            Damaged(Damage::Truncated);
        }
    }
    const unsigned char* Data() const { return reinterpret_cast<const unsigned char*>(Bytes_.data()) + Pos_; }

    std::string_view Bytes_;
    std::size_t Pos_ = 0;
};

// The card count of a two-dimensional block, after checking its descriptor.
std::size_t ReadGridDescriptor(ByteReader& in, DeckArray array) {
    if (in.U16() != GridDimensions) {
        Damaged(Damage::NotTwoDimensions, array);
    }
    const uint32_t cards = in.U32();
    const int32_t cardLower = in.I32();
    const uint32_t items = in.U32();
    const int32_t itemLower = in.I32();
    if (cardLower != 0 || itemLower != 0) {
        Damaged(Damage::LowerBoundNotZero, array);
    }
    if (items != ItemSlots) {
        Damaged(Damage::ItemSlotsNotThree, array);
    }
    if (cards < 1 || cards > static_cast<uint32_t>(MaxCards) + 1) {
        Damaged(Damage::CardCountOutOfRange, array);
    }
    return cards;
}

// A block's elements take at least two bytes each: a count the rest of the
// file cannot hold is refused before its array is allocated.
void RequireElementBytes(const ByteReader& in, std::size_t elements) {
    if (in.Remaining() / 2 < elements) {
        Damaged(Damage::CountPastFileLength);
    }
}

// Every card's question item must name one of its item slots: dealing a card
// looks up the check mark and texts of that slot. 0 names the never-shown
// slot, which a deck may hold and the study rules handle; slot 0 of the list
// belongs to no card and is carried through as it is.
void RequireQuestionItems(const std::vector<int16_t>& questionItems) {
    for (std::size_t card = 1; card < questionItems.size(); ++card) {
        const int16_t question = questionItems[card];
        if (question < 0 || question >= static_cast<int16_t>(ItemSlots)) {
            throw DeckError({.kind = DeckErrorKind::Damaged,
                             .damage = Damage::QuestionOutOfRange,
                             .number = static_cast<long long>(card),
                             .value = question});
        }
    }
}

}  // namespace

CardData ReadDeckRecord(std::string_view bytes, std::size_t* recordSize) {
    ByteReader in(bytes);
    CardData f;

    const std::size_t cards = ReadGridDescriptor(in, DeckArray::Items);
    RequireElementBytes(in, cards * ItemSlots);
    f.Items.resize(cards);
    for (auto& card : f.Items) {
        for (auto& text : card) {
            const uint16_t length = in.U16();
            text.assign(in.Bytes(length));
        }
    }

    if (ReadGridDescriptor(in, DeckArray::Checks) != cards) {
        Damaged(Damage::CardCountsDiffer);
    }
    RequireElementBytes(in, cards * ItemSlots);
    f.Checks.resize(cards);
    for (auto& card : f.Checks) {
        for (auto& check : card) {
            check = in.I16();
        }
    }

    if (in.U16() != ListDimensions) {
        Damaged(Damage::QuestionsNotOneDimension);
    }
    const uint32_t listCards = in.U32();
    if (in.I32() != 0) {
        Damaged(Damage::QuestionsLowerBoundNotZero);
    }
    if (listCards != cards) {
        Damaged(Damage::CardCountsDiffer);
    }
    RequireElementBytes(in, cards);
    f.QuestionItems.resize(cards);
    for (auto& question : f.QuestionItems) {
        question = in.I16();
    }
    RequireQuestionItems(f.QuestionItems);

    f.Modes.TurnMode = in.U8();
    f.Modes.ReservedMode = in.U8();
    f.Modes.ViewKind = in.U8();
    f.Modes.AnswerMode = in.U8();

    if (recordSize != nullptr) {
        *recordSize = in.Position();
    }
    return f;
}

namespace {

void PutU16(std::string& out, uint16_t v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>(v >> 8));
}

void PutU32(std::string& out, uint32_t v) {
    PutU16(out, static_cast<uint16_t>(v & 0xFFFF));
    PutU16(out, static_cast<uint16_t>(v >> 16));
}

void PutGridDescriptor(std::string& out, std::size_t cards) {
    PutU16(out, GridDimensions);
    PutU32(out, static_cast<uint32_t>(cards));
    PutU32(out, 0);
    PutU32(out, ItemSlots);
    PutU32(out, 0);
}

}  // namespace

std::string WriteDeckRecord(const CardData& data) {
    const std::size_t cards = data.Items.size();
    if (cards < 1 || cards > static_cast<std::size_t>(MaxCards) + 1 || data.Checks.size() != cards ||
        data.QuestionItems.size() != cards) {
        throw DeckError(DeckErrorKind::UnevenArrays);
    }

    std::size_t textBytes = 0;
    for (const auto& card : data.Items) {
        for (const auto& text : card) {
            if (text.size() > MaxTextBytes) {
                throw DeckError(DeckErrorKind::ItemTooLongToSave);
            }
            textBytes += text.size();
        }
    }

    std::string out;
    out.reserve(18 + 6 * cards + textBytes + 18 + 6 * cards + 10 + 2 * cards + 4);
    PutGridDescriptor(out, cards);
    for (const auto& card : data.Items) {
        for (const auto& text : card) {
            PutU16(out, static_cast<uint16_t>(text.size()));
            out.append(text);
        }
    }
    PutGridDescriptor(out, cards);
    for (const auto& card : data.Checks) {
        for (const int16_t check : card) {
            PutU16(out, static_cast<uint16_t>(check));
        }
    }
    PutU16(out, ListDimensions);
    PutU32(out, static_cast<uint32_t>(cards));
    PutU32(out, 0);
    for (const int16_t question : data.QuestionItems) {
        PutU16(out, static_cast<uint16_t>(question));
    }
    out.push_back(static_cast<char>(data.Modes.TurnMode));
    out.push_back(static_cast<char>(data.Modes.ReservedMode));
    out.push_back(static_cast<char>(data.Modes.ViewKind));
    out.push_back(static_cast<char>(data.Modes.AnswerMode));
    return out;
}

void AppendCards(CardData& target, CardData&& source) {
    source = InEncoding(source, target.encoding, false);
    const int m = target.Total();
    const int n = source.Total();
    if (m + n > MaxCards) {
        throw DeckError(DeckErrorKind::AppendPastMaxCards);
    }
    if (n == 0) {
        return;
    }
    const std::size_t last = static_cast<std::size_t>(m) + static_cast<std::size_t>(n);
    // Reserving first is the only step that can fail; after it every store
    // moves into capacity that is already there, so the deck is never left
    // half-appended.
    target.Items.reserve(last + 1);
    target.Checks.reserve(last + 1);
    target.QuestionItems.reserve(last + 1);

    int16_t j = 0;
    for (int i = m + 1; i <= m + n; ++i) {
        ++j;
        const auto card = static_cast<int16_t>(i);
        for (int16_t k = 1; k <= 2; ++k) {
            SetGridValue(target.Items, k, card, std::move(source.Items[j][k]));
            SetGridValue(target.Checks, k, card, source.Checks[j][k]);
            SetListValue(target.QuestionItems, card, source.QuestionItems[j]);
        }
    }
}

}  // namespace korva
