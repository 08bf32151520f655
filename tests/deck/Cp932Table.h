#pragma once

#include <string>
#include <vector>

namespace korva::test {

// One character of the code page 932 table kept beside the project.
struct Cp932Entry {
    std::string bytes;
    char32_t code;
};

// Every entry of the table; a test failure when it cannot be read.
std::vector<Cp932Entry> ReadCp932Table();

// A code point below U+10000 as UTF-8.
std::string Utf8Of(char32_t code);

}  // namespace korva::test
