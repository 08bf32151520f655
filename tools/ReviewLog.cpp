#include "tools/ReviewLog.h"

#include <cstdio>
#include <ctime>
#include <optional>
#include <unordered_map>
#include <vector>

namespace korva {

namespace {

// One row's fields as both outputs write them: nullopt where the CSV is
// empty and the JSON null.
struct LogFields {
    std::string time;
    std::optional<std::size_t> card;
    int item = 1;
    const char* result = "";
    std::string style;
    std::optional<const char*> judged;
};

// A style the program never writes is shown as its number, not taken for
// one it does.
std::string StyleName(uint8_t style) {
    if (style == AnswerNormal || style == AnswerTest) {
        return style == AnswerTest ? "test" : "normal";
    }
    return std::to_string(style);
}

std::vector<LogFields> LogRows(const KorvaDeck& deck) {
    std::unordered_map<int64_t, std::size_t> positions;
    positions.reserve(deck.cardIds.size());
    for (std::size_t card = 1; card < deck.cardIds.size(); ++card) {
        positions.emplace(deck.cardIds[card], card);
    }
    std::vector<LogFields> rows;
    rows.reserve(deck.record.size());
    for (const ReviewRow& row : deck.record) {
        LogFields fields;
        fields.time = IsoTimeUtc(row.timeMs);
        if (const auto found = positions.find(row.cardId); found != positions.end()) {
            fields.card = found->second;
        }
        fields.item = row.item;
        fields.result = row.checked ? "checked" : "unchecked";
        fields.style = StyleName(row.style);
        if (row.judged == 0 || row.judged == 1) {
            fields.judged = row.judged == 1 ? "right" : "wrong";
        }
        rows.push_back(std::move(fields));
    }
    return rows;
}

}  // namespace

std::string IsoTimeUtc(int64_t ms) {
    // Floored, so that a time before 1970 keeps its milliseconds positive.
    int64_t seconds = ms / 1000;
    int64_t milli = ms % 1000;
    if (milli < 0) {
        milli += 1000;
        --seconds;
    }
    const auto time = static_cast<std::time_t>(seconds);
    std::tm utc{};
    if (gmtime_r(&time, &utc) == nullptr) {
        return std::to_string(ms);
    }
    char text[80];  // room for any int fields, which the compiler cannot rule out
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", utc.tm_year + 1900, utc.tm_mon + 1,
                  utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec, static_cast<int>(milli));
    return text;
}

std::string ReviewLogCsv(const KorvaDeck& deck) {
    std::string out = "time,card,item,result,style,judged\n";
    for (const LogFields& row : LogRows(deck)) {
        out += row.time + "," + (row.card ? std::to_string(*row.card) : "") + "," + std::to_string(row.item) + "," +
               row.result + "," + row.style + "," + row.judged.value_or("") + "\n";
    }
    return out;
}

std::string ReviewLogJson(const KorvaDeck& deck) {
    std::string out = "[";
    for (const LogFields& row : LogRows(deck)) {
        if (out.size() > 1) {
            out += ",";
        }
        out += "{\"time\":\"" + row.time + "\",\"card\":" + (row.card ? std::to_string(*row.card) : "null") +
               ",\"item\":" + std::to_string(row.item) + ",\"result\":\"" + row.result + "\",\"style\":\"" + row.style +
               "\",\"judged\":" + (row.judged ? "\"" + std::string(*row.judged) + "\"" : "null") + "}";
    }
    return out + "]";
}

}  // namespace korva
