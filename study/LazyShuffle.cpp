#include "study/LazyShuffle.h"

#include <utility>

#include "study/DeckIndex.h"

namespace korva {

void LazyShuffle::Begin(int16_t total, std::mt19937_64& random) {
    Drawing_ = true;
    Total_ = total;
    Random_ = CycleRandom(random());
    Fixed_.assign(1, 0);
    Displaced_.clear();
}

int16_t LazyShuffle::CardAt(int position) {
    DeckIndex(position, static_cast<std::size_t>(Total_) + 1, "position");
    while (Fixed_.size() <= static_cast<std::size_t>(position)) {
        FixNextPosition();
    }
    return Fixed_[static_cast<std::size_t>(position)];
}

int16_t LazyShuffle::Pending(int position) const {
    const auto found = Displaced_.find(position);
    return found == Displaced_.end() ? static_cast<int16_t>(position) : found->second;
}

void LazyShuffle::FixNextPosition() {
    const int position = static_cast<int>(Fixed_.size());
    // The last position takes what is left, without a draw.
    const int other = position < Total_ ? DrawSwapPosition(Random_, position, Total_) : position;
    Fixed_.push_back(Pending(other));
    if (other != position) {
        Displaced_[other] = Pending(position);
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
    for (const auto& [Position, Card] : Displaced_) {
        if (Position >= first) {
            turn[static_cast<std::size_t>(Position)] = Card;
        }
    }
    for (int position = first; position < Total_; ++position) {
        const int other = DrawSwapPosition(Random_, position, Total_);
        std::swap(turn[static_cast<std::size_t>(position)], turn[static_cast<std::size_t>(other)]);
    }
    Fixed_ = turn;
    Displaced_.clear();
    Drawing_ = false;
}

}  // namespace korva
