#include "platform/FileFilter.h"

#include <QRegularExpression>

namespace korva::platform {

QString OpenDialogFilter() {
    return QStringLiteral(
        "KORVAで開けるファイル(*.krv,*.korva,*.csv,*.tsv,*.txt)|*.krv;*.korva;*.csv;*.tsv;*.txt"
        "|KORVA対応ファイル(*.krv,*.csv)|*.krv;*.CSV|KORVA専用ファイル(*.krv)|*.krv|CSVファイル(*.csv)|*.csv"
        "|単語リスト(*.csv,*.tsv,*.txt)|*.csv;*.tsv;*.txt|すべてのファイル(*)|*");
}

QString SaveDialogFilter() { return QStringLiteral("KORVA用ファイル(*.krv)|*.krv|KORVAデッキ(*.korva)|*.korva"); }

QString CaseInsensitivePattern(const QString& pattern) {
    QString result;
    for (const QChar c : pattern) {
        if (c.isLetter() && c.toLower() != c.toUpper()) {
            result += u'[';
            result += c.toLower();
            result += c.toUpper();
            result += u']';
        } else {
            result += c;
        }
    }
    return result;
}

QStringList ToQtNameFilters(const QString& filter) {
    const QStringList parts = filter.split(u'|');
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].split(u';', Qt::SkipEmptyParts)) {
            const QString wide = CaseInsensitivePattern(pattern.trimmed());
            if (!patterns.contains(wide)) {
                patterns << wide;
            }
        }
        result << parts[i] + QStringLiteral(" (") + patterns.join(u' ') + u')';
    }
    return result;
}

QUrl AddressToUrl(const QString& address) {
    // Two letters at least, so that a drive letter is never taken for a scheme.
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    if (scheme.match(address).hasMatch()) {
        return QUrl(address);
    }
    return QUrl::fromLocalFile(address);
}

}  // namespace korva::platform
