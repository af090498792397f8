// The reader's text: zero-terminated 16-bit units, and the character classes
// and ASCII case folding that every part of the reader shares.
#pragma once

#include <string>
#include <string_view>

#include "xml/arena.h"

namespace xml {

using Unit = char16_t;
// Strings of the tree take their memory from the arena they were made with
// (a document's, for a loaded tree), or from the heap.
using String = std::basic_string<Unit, std::char_traits<Unit>, ArenaAllocator<Unit>>;
using StringView = std::u16string_view;

// Tab, line feed, carriage return and space; nothing else is whitespace.
inline bool IsWhitespace(Unit c) { return c == u' ' || c == u'\n' || c == u'\r' || c == u'\t'; }

inline bool IsAsciiLetter(Unit c) { return static_cast<unsigned>((c | 0x20) - u'a') < 26u; }
inline bool IsDigit(Unit c) { return static_cast<unsigned>(c - u'0') < 10u; }

// Folds "A" to "Z" onto "a" to "z"; every other unit is left as it is.
inline Unit FoldCase(Unit c) {
  return static_cast<unsigned>(c - u'A') < 26u ? static_cast<Unit>(c + 32) : c;
}

// A name starts with a letter or "_" and goes on with letters, digits, "_",
// "-", ":" and ".". The table holds 1 for units that may go on a name and 3
// for units that may also start one.
inline constexpr unsigned char kNameClass[128] = {
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // 0x00
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // 0x10
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 0,  // 0x20: "-" "."
    1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0,  // 0x30: digits ":"
    0, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3,  // 0x40: "A" to "O"
    3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 0, 0, 0, 0, 3,  // 0x50: "P" to "Z" "_"
    0, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3,  // 0x60: "a" to "o"
    3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 0, 0, 0, 0, 0,  // 0x70: "p" to "z"
};
inline bool IsNameStart(Unit c) { return c < 128 && kNameClass[c] == 3; }
inline bool IsNameChar(Unit c) { return c < 128 && kNameClass[c] != 0; }

}  // namespace xml
