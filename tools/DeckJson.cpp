#include "tools/DeckJson.h"

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

std::string DeckToJson(const CardData& data) {
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
        out += "]}";
    }
    out += "]}";
    return out;
}

}  // namespace korva
