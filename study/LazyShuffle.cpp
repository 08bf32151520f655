#include "study/LazyShuffle.h"

#include <utility>

#include "document/DeckIndex.h"

namespace korva {

namespace {

uint64_t Bit(int position) { return uint64_t{1} << (static_cast<unsigned>(position) % 64); }

}  // namespace

void LazyShuffle::Begin(int16_t total, std::mt19937_64& random) {
    Drawing_ = true;
    Total_ = total;
    Random_ = CycleRandom(random());
    Fixed_.assign(1, 0);
    const auto positions = static_cast<std::size_t>(total) + 1;
    if (DisplacedCard_.size() < positions) {
        DisplacedCard_.resize(positions);
        DisplacedBits_.resize((positions + 63) / 64);
    }
    for (const int position : DisplacedAt_) {
        DisplacedBits_[static_cast<std::size_t>(position) / 64] &= ~Bit(position);
    }
    DisplacedAt_.clear();
}

int16_t LazyShuffle::CardAt(int position) {
    DeckIndex(position, static_cast<std::size_t>(Total_) + 1, "position");
    while (Fixed_.size() <= static_cast<std::size_t>(position)) {
        FixNextPosition();
    }
    return Fixed_[static_cast<std::size_t>(position)];
}

int16_t LazyShuffle::Pending(int position) const {
    const auto at = static_cast<std::size_t>(position);
    return (DisplacedBits_[at / 64] & Bit(position)) != 0 ? DisplacedCard_[at] : static_cast<int16_t>(position);
}

void LazyShuffle::Displace(int position, int16_t card) {
    const auto at = static_cast<std::size_t>(position);
    if ((DisplacedBits_[at / 64] & Bit(position)) == 0) {
        DisplacedBits_[at / 64] |= Bit(position);
        DisplacedAt_.push_back(position);
    }
    DisplacedCard_[at] = card;
}

void LazyShuffle::FixNextPosition() {
    const int position = static_cast<int>(Fixed_.size());
    // The last position takes what is left, without a draw.
    const int other = position < Total_ ? DrawSwapPosition(Random_, position, Total_) : position;
    Fixed_.push_back(Pending(other));
    if (other != position) {
        Displace(other, Pending(position));
    }
}

void LazyShuffle::Complete(std::vector<int16_t>& turn) {
    const int first = static_cast<int>(Fixed_.size());
    turn = Fixed_;
    turn.resize(static_cast<std::size_t>(Total_) + 1);
    for (int position = first; position <= Total_; ++position) {
        turn[static_cast<std::size_t>(position)] = static_cast<int16_t>(position);
    }
    // Entries below First are left over from positions fixed since.
    for (const int position : DisplacedAt_) {
        if (position >= first) {
            turn[static_cast<std::size_t>(position)] = DisplacedCard_[static_cast<std::size_t>(position)];
        }
    }
    for (int position = first; position < Total_; ++position) {
        const int other = DrawSwapPosition(Random_, position, Total_);
        std::swap(turn[static_cast<std::size_t>(position)], turn[static_cast<std::size_t>(other)]);
    }
    Fixed_ = turn;
    Drawing_ = false;
}

}  // namespace korva
