#include "study/LazyShuffle.h"

#include <utility>

#include "study/DeckIndex.h"

namespace korva {

void LazyShuffle::Begin(int16_t Total, std::mt19937_64& Random) {
    Drawing_ = true;
    Total_ = Total;
    Random_ = CycleRandom(Random());
    Fixed_.assign(1, 0);
    Displaced_.clear();
}

int16_t LazyShuffle::CardAt(int Position) {
    DeckIndex(Position, static_cast<std::size_t>(Total_) + 1, "position");
    while (Fixed_.size() <= static_cast<std::size_t>(Position)) {
        FixNextPosition();
    }
    return Fixed_[static_cast<std::size_t>(Position)];
}

int16_t LazyShuffle::Pending(int Position) const {
    const auto Found = Displaced_.find(Position);
    return Found == Displaced_.end() ? static_cast<int16_t>(Position) : Found->second;
}

void LazyShuffle::FixNextPosition() {
    const int Position = static_cast<int>(Fixed_.size());
    // The last position takes what is left, without a draw.
    const int Other = Position < Total_ ? DrawSwapPosition(Random_, Position, Total_) : Position;
    Fixed_.push_back(Pending(Other));
    if (Other != Position) {
        Displaced_[Other] = Pending(Position);
    }
}

void LazyShuffle::Complete(std::vector<int16_t>& Turn) {
    const int First = static_cast<int>(Fixed_.size());
    Turn = Fixed_;
    Turn.resize(static_cast<std::size_t>(Total_) + 1);
    for (int Position = First; Position <= Total_; ++Position) {
        Turn[static_cast<std::size_t>(Position)] = static_cast<int16_t>(Position);
    }
    // Entries below First are left over from positions fixed since.
    for (const auto& [Position, Card] : Displaced_) {
        if (Position >= First) {
            Turn[static_cast<std::size_t>(Position)] = Card;
        }
    }
    for (int Position = First; Position < Total_; ++Position) {
        const int Other = DrawSwapPosition(Random_, Position, Total_);
        std::swap(Turn[static_cast<std::size_t>(Position)], Turn[static_cast<std::size_t>(Other)]);
    }
    Fixed_ = Turn;
    Displaced_.clear();
    Drawing_ = false;
}

}  // namespace korva
