#pragma once

namespace korva::platform {

// The windows name the Japanese Windows fonts that decks and layouts expect
// (ＭＳ Ｐゴシック, ＭＳ Ｐ明朝 and their fixed-width forms); map those names to
// the IPA fonts installed here.
void InstallFontSubstitutions();

}  // namespace korva::platform
