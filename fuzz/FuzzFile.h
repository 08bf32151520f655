#pragma once

#include <string>
#include <string_view>

namespace korva::fuzz {

// The fuzz input as a file of this process (one per process, rewritten for
// every input), so the public file readers are fuzzed as the program calls
// them.
const std::string& WriteInputFile(std::string_view bytes, const char* extension);

// Stops the fuzzer with a message when a property does not hold.
void Require(bool holds, const char* what);

}  // namespace korva::fuzz
