#pragma once

#include <QTemporaryDir>

#include <string>
#include <string_view>

#include "deck/CardData.h"

namespace korva::test {

// A folder that lives as long as the test.
class TempFolder {
public:
    TempFolder();
    std::string Path(const std::string& name) const;

private:
    QTemporaryDir Dir_;
};

void WriteBytes(const std::string& path, std::string_view bytes);
std::string ReadBytes(const std::string& path);
bool FileExists(const std::string& path);

// "02 00 61" -> the three bytes.
std::string FromHex(std::string_view hex);

// Every field, card 0 and item 0 included.
bool SameDeck(const CardData& a, const CardData& b);

// A deck whose every slot holds something different: texts in ASCII,
// Japanese and undecodable bytes, card 0 and item 0 filled, check marks with
// raw values that are neither True nor False, odd modes.
CardData VariedDeck(int total, const std::string& tag = "");

}  // namespace korva::test
