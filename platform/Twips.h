#pragma once

namespace korva::platform {

// Window geometry is given in twips; 15 twips make one pixel at 96 dpi, and
// Qt scales device-independent pixels for high-dpi screens itself.
constexpr int TwipsToPixels(int twips) { return (twips * 2 + 15) / 30; }

static_assert(TwipsToPixels(10000) == 667 && TwipsToPixels(8000) == 533);

}  // namespace korva::platform
