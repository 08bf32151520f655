#include "cardwindow/render/SampleDeck.h"

#include <QFile>

#include "deck/Cp932Text.h"

namespace korva::render {

bool WriteSampleDeck(const QString& path, const char* utf8Csv) {
    const auto bytes = Utf8ToCp932(utf8Csv);
    QFile file(path);
    return bytes && file.open(QIODevice::WriteOnly) &&
           file.write(bytes->data(), static_cast<qint64>(bytes->size())) == static_cast<qint64>(bytes->size());
}

}  // namespace korva::render
