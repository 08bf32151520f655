#pragma once

#include <QFont>

class QWidget;

namespace korva::platform {

// The windows name the Japanese Windows fonts that decks and layouts expect
// (ＭＳ Ｐゴシック, ＭＳ Ｐ明朝 and their fixed-width forms); map those names to
// the IPA fonts installed here.
void InstallFontSubstitutions();

// The font every window of the program is laid out for: "ＭＳ Ｐゴシック",
// 9 pt, whatever font the desktop gives its programs. Every property is set,
// so nothing of the desktop's font shows through; a change of the screen's
// resolution scales it with the windows' geometry.
QFont WindowFont();

// Menus are windows of their own and take no font from the window that owns
// them; this gives every menu below owner owner's font.
void ShareFontWithMenus(QWidget& owner);

}  // namespace korva::platform
