#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace korva {

// The card-indexed arrays of CardData grow through these. std::vector grows
// its capacity geometrically, and callers that know the final size reserve it
// first, so appending n cards costs O(n), never one re-allocation per card.

// Re-dimensions a grid (Items or Checks) to cards 0..upperBound, keeping every
// existing element; new slots are value-initialised (empty text, False).
template <typename Row>
void GrowGrid(std::vector<Row>& grid, int16_t upperBound) {
    grid.resize(static_cast<std::size_t>(upperBound) + 1);
}

// Re-dimensions a list (QuestionItems) to 0..upperBound; new slots are 0.
template <typename Value>
void GrowList(std::vector<Value>& list, int16_t upperBound) {
    list.resize(static_cast<std::size_t>(upperBound) + 1);
}

template <typename Row, typename Value>
void SetGridValue(std::vector<Row>& grid, int16_t itemIndex, int16_t cardIndex, Value&& value) {
    if (grid.size() <= static_cast<std::size_t>(cardIndex)) {
        GrowGrid(grid, cardIndex);
    }
    grid[static_cast<std::size_t>(cardIndex)][static_cast<std::size_t>(itemIndex)] = std::forward<Value>(value);
}

template <typename Value, typename Stored>
void SetListValue(std::vector<Stored>& list, int16_t index, Value&& value) {
    if (list.size() <= static_cast<std::size_t>(index)) {
        GrowList(list, index);
    }
    list[static_cast<std::size_t>(index)] = std::forward<Value>(value);
}

}  // namespace korva
