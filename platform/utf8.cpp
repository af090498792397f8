#include "platform/utf8.h"

#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace platform {

namespace {

// Decodes the sequence that starts with the byte at `p` (not past `end`) into
// `o`; moves both past what was read and written.
inline void DecodeSequence(const unsigned char*& p, const unsigned char* end, char16_t*& o) {
  const unsigned char c = *p;
  if (c < 0x80) {
    *o++ = c;
    ++p;
    return;
  }
  // Length of the sequence and the allowed range of its second byte.
  int length = 0;
  unsigned char lo = 0x80, hi = 0xBF;
  if (c >= 0xC2 && c <= 0xDF) {
    length = 2;
  } else if (c >= 0xE0 && c <= 0xEF) {
    length = 3;
    if (c == 0xE0) lo = 0xA0;  // no overlong forms
    if (c == 0xED) hi = 0x9F;  // no encoded surrogates
  } else if (c >= 0xF0 && c <= 0xF4) {
    length = 4;
    if (c == 0xF0) lo = 0x90;
    if (c == 0xF4) hi = 0x8F;  // nothing above U+10FFFF
  } else {
    *o++ = 0xFFFD;  // C0, C1, F5..FF, or a continuation byte without a lead
    ++p;
    return;
  }
  std::uint32_t cp = c & (0xFFu >> (length + 1));
  int taken = 1;
  for (; taken < length && p + taken < end; ++taken) {
    const unsigned char b = p[taken];
    if (taken == 1 ? (b < lo || b > hi) : (b & 0xC0u) != 0x80u) break;
    cp = (cp << 6) | (b & 0x3Fu);
  }
  p += taken;
  if (taken < length) {
    *o++ = 0xFFFD;  // the maximal subpart, replaced once
  } else if (cp >= 0x10000) {
    cp -= 0x10000;
    *o++ = static_cast<char16_t>(0xD800 + (cp >> 10));
    *o++ = static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
  } else {
    *o++ = static_cast<char16_t>(cp);
  }
}

}  // namespace

std::ptrdiff_t DecodeUtf8Portable(const unsigned char* bytes, std::size_t count, char16_t* out) {
  const unsigned char* p = bytes;
  char16_t* o = out;
  while (p < bytes + count) DecodeSequence(p, bytes + count, o);
  return o - out;
}

#if defined(__SSE2__)

std::ptrdiff_t DecodeUtf8(const unsigned char* bytes, std::size_t count, char16_t* out) {
  const unsigned char* p = bytes;
  const unsigned char* const end = bytes + count;
  char16_t* o = out;
  const __m128i zero = _mm_setzero_si128();
  while (p < end) {
    // Sixteen bytes at a time while they are ASCII. The stores may write
    // units past the ASCII prefix of a block; they stay within `out`, since
    // the output never runs ahead of the input, and are overwritten next.
    while (end - p >= 16) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(o), _mm_unpacklo_epi8(v, zero));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(o + 8), _mm_unpackhi_epi8(v, zero));
      const unsigned high = static_cast<unsigned>(_mm_movemask_epi8(v));
      if (high) {
        const unsigned ascii = static_cast<unsigned>(__builtin_ctz(high));
        p += ascii;
        o += ascii;
        break;
      }
      p += 16;
      o += 16;
    }
    if (p < end) DecodeSequence(p, end, o);
  }
  return o - out;
}

#else

std::ptrdiff_t DecodeUtf8(const unsigned char* bytes, std::size_t count, char16_t* out) {
  return DecodeUtf8Portable(bytes, count, out);
}

#endif

}  // namespace platform
