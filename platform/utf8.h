// UTF-8 to UTF-16, the 8-bit encoding on POSIX systems.
#pragma once

#include <cstddef>

namespace platform {

// Decodes `count` bytes into `out` (room for `count` units) and returns the
// number of units written. Ill-formed sequences (overlong forms, encoded
// surrogates, values above U+10FFFF, stray continuation bytes, truncated
// sequences) become one U+FFFD per maximal subpart, as the Unicode standard
// recommends; characters above U+FFFF become surrogate pairs. Never writes
// more units than there are bytes.
std::ptrdiff_t DecodeUtf8(const unsigned char* bytes, std::size_t count, char16_t* out);

// The same, one byte at a time; DecodeUtf8 takes runs of ASCII 16 at a time.
std::ptrdiff_t DecodeUtf8Portable(const unsigned char* bytes, std::size_t count, char16_t* out);

}  // namespace platform
