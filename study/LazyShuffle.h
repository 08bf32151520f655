#pragma once

#include <cstdint>
#include <random>
#include <vector>

#include "study/TurnShuffle.h"

namespace korva {

// The turn list ShuffleCards would build from the same generator, drawn only
// as far as it is read. In shuffled order with a narrow filter the dealing
// loop may begin thousands of cycles that each deal a position or two before
// they are used up; building each one in full would make a single deal
// quadratic in the card total. Reading positions 1..k costs O(k) whatever the
// total, and Complete then costs O(total).
class LazyShuffle {
public:
    // Begins drawing a new list, dropping any list not completed. Takes the
    // cycle's one value from Random at once, as ShuffleCards does.
    void Begin(int16_t total, std::mt19937_64& random);

    // Whether a list has begun and has not been completed since.
    bool isDrawing() const { return Drawing_; }

    // The card at Position (0 is the placeholder) of the list begun last;
    // throws std::out_of_range outside 0..Total.
    int16_t CardAt(int position);

    // Turn becomes the whole list: the positions read so far as they were
    // read, the rest by going on with the same draws. Ends the drawing.
    void Complete(std::vector<int16_t>& turn);

private:
    int16_t Pending(int position) const;
    void Displace(int position, int16_t card);
    void FixNextPosition();

    bool Drawing_ = false;
    int Total_ = 0;
    CycleRandom Random_;
    std::vector<int16_t> Fixed_{0};  // positions whose card no later step moves
    // Where an earlier step swapped a card away from its own position among
    // the positions not yet fixed; every other such position still holds the
    // card of the same number. One bit a position says which hold another
    // card, kept small enough to stay in the processor's nearest cache; the
    // list of the bits set lets the next list clear only those, since a deal
    // may begin thousands of lists that each displace a card or two.
    std::vector<uint64_t> DisplacedBits_;
    std::vector<int16_t> DisplacedCard_;
    std::vector<int> DisplacedAt_;
};

}  // namespace korva
