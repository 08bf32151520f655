#include "tests/deck/Cp932Table.h"

#include <gtest/gtest.h>

#include <QFile>

namespace korva::test {

std::string Utf8Of(char32_t c) {
    std::string s;
    if (c < 0x80) {
        s.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        s.push_back(static_cast<char>(0xC0 | (c >> 6)));
        s.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        s.push_back(static_cast<char>(0xE0 | (c >> 12)));
        s.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        s.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
    return s;
}

// Lines of the form 0x<bytes>,0x<code point>.
std::vector<Cp932Entry> ReadCp932Table() {
    QFile file(KORVA_TEST_DATA_DIR "/cp932-table.txt");
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        ADD_FAILURE() << "cannot open the code page 932 table";
        return {};
    }
    std::vector<Cp932Entry> entries;
    while (!file.atEnd()) {
        const QList<QByteArray> fields = file.readLine().trimmed().split(',');
        if (fields.size() != 2) {
            continue;
        }
        bool ok1 = false;
        bool ok2 = false;
        const unsigned bytes = fields[0].toUInt(&ok1, 16);
        const unsigned code = fields[1].toUInt(&ok2, 16);
        if (!ok1 || !ok2) {
            continue;
        }
        Cp932Entry e{std::string(), static_cast<char32_t>(code)};
        if (bytes > 0xFF) {
            e.bytes.push_back(static_cast<char>(bytes >> 8));
        }
        e.bytes.push_back(static_cast<char>(bytes & 0xFF));
        entries.push_back(e);
    }
    return entries;
}

}  // namespace korva::test
