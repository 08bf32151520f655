#include "tools/DeckJson.h"

#include <QDateTime>
#include <QTimeZone>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "deck/DeckText.h"

namespace korva {

void AppendJsonString(std::string& out, const std::string& utf8) {
    out.push_back('"');
    for (const char c : utf8) {
        switch (c) {
            case '"': out.append("\\\""); break;
            case '\\': out.append("\\\\"); break;
            case '\n': out.append("\\n"); break;
            case '\r': out.append("\\r"); break;
            case '\t': out.append("\\t"); break;
            default:
                if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04X",
                                  static_cast<unsigned>(static_cast<unsigned char>(c)));
                    out.append(escaped);
                } else {
                    out.push_back(c);
                }
        }
    }
    out.push_back('"');
}

namespace {

const CardMemories NoMemory{};

std::string CardsToJson(const CardData& data, const KorvaDeck* kept) {
    std::string out = "{\"total\":" + std::to_string(data.Total());
    out += ",\"modes\":{\"TurnMode\":" + std::to_string(data.Modes.TurnMode) +
           ",\"ReservedMode\":" + std::to_string(data.Modes.ReservedMode) +
           ",\"ViewKind\":" + std::to_string(data.Modes.ViewKind) +
           ",\"AnswerMode\":" + std::to_string(data.Modes.AnswerMode) + "},\"cards\":[";
    for (std::size_t c = 1; c < data.Items.size(); ++c) {
        if (c > 1) {
            out.push_back(',');
        }
        out += "{\"question\":" + std::to_string(data.QuestionItems[c]) + ",\"checks\":[";
        out += data.Checks[c][1] != 0 ? "true" : "false";
        out.push_back(',');
        out += data.Checks[c][2] != 0 ? "true" : "false";
        out += "],\"items\":[";
        AppendJsonString(out, ItemToUtf8(data.encoding, data.Items[c][1]));
        out.push_back(',');
        AppendJsonString(out, ItemToUtf8(data.encoding, data.Items[c][2]));
        const CardMemories* memories = &NoMemory;
        if (kept != nullptr && c < kept->cardIds.size()) {
            if (const auto found = kept->memory.find(kept->cardIds[c]); found != kept->memory.end()) {
                memories = &found->second;
            }
        }
        out += "],\"memory\":[" + MemoryToJson((*memories)[0]) + "," + MemoryToJson((*memories)[1]) + "]}";
    }
    out += "]}";
    return out;
}

}  // namespace

std::string JsonNumber(double value) {
    if (!std::isfinite(value)) {
        return "null";
    }
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return {text, result.ptr};
}

std::string IsoSecondsUtc(int64_t ms) {
    return QDateTime::fromMSecsSinceEpoch(ms, QTimeZone::utc())
        .toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss'Z'"))
        .toStdString();
}

std::string MemoryToJson(const CardMemory& memory) {
    if (!memory) {
        return "null";
    }
    return "{\"stability\":" + JsonNumber(memory->stability) + ",\"difficulty\":" + JsonNumber(memory->difficulty) +
           ",\"due\":\"" + IsoSecondsUtc(memory->due) + "\",\"lastReview\":\"" + IsoSecondsUtc(memory->lastReview) +
           "\",\"reviews\":" + std::to_string(memory->reviews) + ",\"lapses\":" + std::to_string(memory->lapses) + "}";
}

std::string DeckToJson(const CardData& data) { return CardsToJson(data, nullptr); }

std::string DeckToJson(const KorvaDeck& deck) { return CardsToJson(deck.cards, &deck); }

}  // namespace korva
