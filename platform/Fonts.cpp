#include "platform/Fonts.h"

#include <QFont>
#include <QMenu>
#include <QStringList>

namespace korva::platform {

void InstallFontSubstitutions() {
    const QStringList gothicP{QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic")};
    const QStringList gothic{QStringLiteral("IPAGothic"), QStringLiteral("IPAPGothic")};
    const QStringList minchoP{QStringLiteral("IPAPMincho"), QStringLiteral("IPAMincho")};
    const QStringList mincho{QStringLiteral("IPAMincho"), QStringLiteral("IPAPMincho")};

    QFont::insertSubstitutions(QStringLiteral("ＭＳ Ｐゴシック"), gothicP);
    QFont::insertSubstitutions(QStringLiteral("MS PGothic"), gothicP);
    QFont::insertSubstitutions(QStringLiteral("ＭＳ ゴシック"), gothic);
    QFont::insertSubstitutions(QStringLiteral("MS Gothic"), gothic);
    QFont::insertSubstitutions(QStringLiteral("ＭＳ Ｐ明朝"), minchoP);
    QFont::insertSubstitutions(QStringLiteral("MS PMincho"), minchoP);
    QFont::insertSubstitutions(QStringLiteral("ＭＳ 明朝"), mincho);
    QFont::insertSubstitutions(QStringLiteral("MS Mincho"), mincho);
}

QFont WindowFont() {
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"), 9);
    font.setResolveMask(QFont::AllPropertiesResolved);
    return font;
}

void ShareFontWithMenus(QWidget& owner) {
    for (QMenu* menu : owner.findChildren<QMenu*>()) {
        menu->setFont(owner.font());
    }
}

}  // namespace korva::platform
