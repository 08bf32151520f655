#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

namespace korva::platform {

// The open dialog's filter, in the "label|patterns|label|patterns" form of
// ToQtNameFilters. Its first entry, the one selected, lists every file the
// program opens; the program's first three entries follow as they always
// stood, then word lists alone and every file.
QString OpenDialogFilter();
// The save dialog's: deck files only, the .krv file first, then the .korva
// deck that holds any language and its study record.
QString SaveDialogFilter();
inline constexpr int SaveFilterKrv = 0;
inline constexpr int SaveFilterKorva = 1;

// "label|*.a;*.B|label|*.c" as Qt name filters: one "label (patterns)" per
// pair, patterns separated by blanks. Each pattern matches its letters in
// either case, because the decks come from a platform where "*.CSV" also
// lists "words.csv".
QStringList ToQtNameFilters(const QString& filter);

// A pattern such as "*.krv" as "*.[kK][rR][vV]".
QString CaseInsensitivePattern(const QString& pattern);

// An address with a scheme ("https:", "mailto:", "file:") is a URL; anything
// else is a local file path.
QUrl AddressToUrl(const QString& address);

}  // namespace korva::platform
