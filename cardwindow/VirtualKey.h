#pragma once

#include <cstdint>

class QKeyEvent;

namespace korva {

// The two keys the check buttons answer to, as Windows numbers its virtual
// keys: the semicolon key and the colon key of a Japanese keyboard.
inline constexpr int16_t VirtualKeyCheck = 187;
inline constexpr int16_t VirtualKeyUncheck = 186;

// The virtual-key code of a key event, for the two keys above; 0 for any
// other key. The keys are told by their position (X keycodes 47 and 48, the
// keys right of L), so the mapping holds on any layout; events without a scan
// code, such as synthesized ones, are told by the character they produce.
int16_t VirtualKeyCode(const QKeyEvent& event);

// Whether the key would produce a character in a Windows program (a
// WM_CHAR message): printable keys and Space, Enter, Escape, Backspace and
// Ctrl+letter do; Tab, Delete, the arrow and function keys and anything held
// with Alt (menus and access keys) do not.
bool ProducesCharacter(const QKeyEvent& event);

}  // namespace korva
