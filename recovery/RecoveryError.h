#pragma once

#include <stdexcept>
#include <string>

namespace korva {

// A failure of the recovery copies' folder: it cannot be found, made or
// locked. what() is a reason in Japanese.
class RecoveryError : public std::runtime_error {
public:
    explicit RecoveryError(const std::string& reason) : std::runtime_error(reason) {}
};

}  // namespace korva
