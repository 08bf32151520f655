#pragma once

#include <QString>

namespace korva {

// Who makes KORVA, as the main window's caption and the version window show it.
inline const QString MakerName = QStringLiteral("Team Yorimichi");
inline const QString MakerWebPage = QStringLiteral("https://www.example.org/korva/");
inline const QString MakerMailAddress = QStringLiteral("korva@example.org");

}  // namespace korva
