#include "study/LazyShuffle.h"

#include <algorithm>
#include <utility>

#include "study/DeckIndex.h"

namespace korva {

void LazyShuffle::Begin(int16_t total, std::mt19937_64& random) {
    Drawing_ = true;
    Total_ = total;
    Random_ = CycleRandom(random());
    Fixed_.assign(1, 0);
    const auto positions = static_cast<std::size_t>(total) + 1;
    if (Displaced_.size() < positions) {
        Displaced_.resize(positions);
    }
    if (++Stamp_ == 0) {
        // Once the stamps have gone round, old entries could pass as current.
        std::fill(Displaced_.begin(), Displaced_.end(), Displaced{});
        Stamp_ = 1;
    }
}

int16_t LazyShuffle::CardAt(int position) {
    DeckIndex(position, static_cast<std::size_t>(Total_) + 1, "position");
    while (Fixed_.size() <= static_cast<std::size_t>(position)) {
        FixNextPosition();
    }
    return Fixed_[static_cast<std::size_t>(position)];
}

int16_t LazyShuffle::Pending(int position) const {
    const Displaced& entry = Displaced_[static_cast<std::size_t>(position)];
    return entry.stamp == Stamp_ ? entry.card : static_cast<int16_t>(position);
}

void LazyShuffle::Displace(int position, int16_t card) {
    Displaced_[static_cast<std::size_t>(position)] = {Stamp_, card};
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
        turn[static_cast<std::size_t>(position)] = Pending(position);
    }
    for (int position = first; position < Total_; ++position) {
        const int other = DrawSwapPosition(Random_, position, Total_);
        std::swap(turn[static_cast<std::size_t>(position)], turn[static_cast<std::size_t>(other)]);
    }
    Fixed_ = turn;
    Drawing_ = false;
}

}  // namespace korva
