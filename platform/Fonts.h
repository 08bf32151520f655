#pragma once

namespace korva::platform {

// The windows name the Japanese system fonts of the platform the decks come
// from; map those names to the IPA fonts installed here.
void InstallFontSubstitutions();

}  // namespace korva::platform
