#include "deck/DeckError.h"

namespace korva {

DeckError::DeckError(DeckErrorDetail detail)
    : std::runtime_error("deck error of kind " + std::to_string(static_cast<int>(detail.kind))),
      Detail_(std::move(detail)) {}

}  // namespace korva
