// Fast scanners over the reader's text, each with its portable loop beside
// it (tests check that both agree).
//
// The vector versions read whole aligned 16-byte blocks, so they may read
// units before the start position and after the terminating zero within the
// same block. The text must therefore start 16-byte aligned and have
// kTextPadding zeroed bytes after its terminating zero.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "xml/text.h"

namespace xml {

inline constexpr std::size_t kTextPadding = 32;

#if defined(__SSE2__)
static_assert(alignof(std::max_align_t) >= 16, "text buffers come from malloc and must be 16-byte aligned");
#endif

// A unit that ends a stretch of plain text: "<", "&", or a control unit other
// than tab, line feed and carriage return (the terminating zero among them).
inline bool IsTextSpecial(Unit c) {
  return c == u'<' || c == u'&' || (c < 32 && c != u'\t' && c != u'\n' && c != u'\r');
}

inline const Unit* ScanPlainTextPortable(const Unit* p) {
  while (!IsTextSpecial(*p)) ++p;
  return p;
}

// The first unit that is not whitespace.
inline const Unit* SkipBlanksPortable(const Unit* p) {
  while (IsWhitespace(*p)) ++p;
  return p;
}

// The first `unit`, or the terminating zero.
inline const Unit* FindUnitPortable(const Unit* p, Unit unit) {
  while (*p && *p != unit) ++p;
  return p;
}

#if defined(__SSE2__)

// Two mask bits per unit of the block that is special.
inline unsigned TextSpecialMask(__m128i v) {
  const __m128i control = _mm_cmpeq_epi16(_mm_subs_epu16(v, _mm_set1_epi16(31)), _mm_setzero_si128());
  const __m128i blank = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi16(v, _mm_set1_epi16(9)),
                                                  _mm_cmpeq_epi16(v, _mm_set1_epi16(10))),
                                     _mm_cmpeq_epi16(v, _mm_set1_epi16(13)));
  const __m128i markup = _mm_or_si128(_mm_cmpeq_epi16(v, _mm_set1_epi16(u'<')),
                                      _mm_cmpeq_epi16(v, _mm_set1_epi16(u'&')));
  return static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(markup, _mm_andnot_si128(blank, control))));
}

inline unsigned NotBlankMask(__m128i v) {
  const __m128i blank = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi16(v, _mm_set1_epi16(u' ')),
                                                  _mm_cmpeq_epi16(v, _mm_set1_epi16(u'\n'))),
                                     _mm_or_si128(_mm_cmpeq_epi16(v, _mm_set1_epi16(u'\t')),
                                                  _mm_cmpeq_epi16(v, _mm_set1_epi16(u'\r'))));
  return ~static_cast<unsigned>(_mm_movemask_epi8(blank)) & 0xFFFFu;
}

inline unsigned UnitOrZeroMask(__m128i v, __m128i unit) {
  return static_cast<unsigned>(
      _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi16(v, unit), _mm_cmpeq_epi16(v, _mm_setzero_si128()))));
}

// Walks the aligned blocks from the one holding `p` until `mask` (two bits
// per unit) finds a unit; the bits of the units before `p` are masked off.
// The terminating zero must be found by every mask.
template <typename Mask>
inline const Unit* ScanBlocks(const Unit* p, Mask mask) {
  const auto address = reinterpret_cast<std::uintptr_t>(p);
  auto block = reinterpret_cast<const __m128i*>(address & ~std::uintptr_t{15});
  unsigned bits = mask(_mm_load_si128(block)) & (0xFFFFu << (address & 15));
  while (!bits) bits = mask(_mm_load_si128(++block));
  return reinterpret_cast<const Unit*>(reinterpret_cast<const char*>(block) + __builtin_ctz(bits));
}

inline const Unit* ScanPlainText(const Unit* p) { return ScanBlocks(p, TextSpecialMask); }
inline const Unit* SkipBlanks(const Unit* p) {
  if (!IsWhitespace(*p)) return p;  // most often nothing to skip
  return ScanBlocks(p, NotBlankMask);
}
inline const Unit* FindUnit(const Unit* p, Unit unit) {
  const __m128i u = _mm_set1_epi16(static_cast<short>(unit));
  return ScanBlocks(p, [u](__m128i v) { return UnitOrZeroMask(v, u); });
}

#else

inline const Unit* ScanPlainText(const Unit* p) { return ScanPlainTextPortable(p); }
inline const Unit* SkipBlanks(const Unit* p) { return SkipBlanksPortable(p); }
inline const Unit* FindUnit(const Unit* p, Unit unit) { return FindUnitPortable(p, unit); }

#endif

}  // namespace xml
