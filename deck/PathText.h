#pragma once

#include <string>
#include <string_view>

#include <QString>

namespace korva {

// A file name is bytes, and need not be UTF-8: a name unpacked from an archive
// made on Japanese Windows is in code page 932. The windows carry paths as
// QString, so each byte that is not part of valid UTF-8 travels as the lone
// surrogate U+DC80 + byte, which no valid name produces. Text made by
// PathToText turns back into exactly the same bytes.
QString PathToText(std::string_view bytes);
std::string TextToPath(const QString& text);

// The text to show: each byte kept as a surrogate becomes U+FFFD, as the file
// dialog shows such a name. Never to be opened.
QString DisplayPath(const QString& text);

}  // namespace korva
