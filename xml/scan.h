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

inline const Unit* ScanPlainText(const Unit* p) {
  const auto address = reinterpret_cast<std::uintptr_t>(p);
  auto block = reinterpret_cast<const __m128i*>(address & ~std::uintptr_t{15});
  // Bits of the units before `p` in its block are masked off.
  unsigned mask = TextSpecialMask(_mm_load_si128(block)) & (0xFFFFu << (address & 15));
  while (!mask) mask = TextSpecialMask(_mm_load_si128(++block));
  return reinterpret_cast<const Unit*>(reinterpret_cast<const char*>(block) + __builtin_ctz(mask));
}

#else

inline const Unit* ScanPlainText(const Unit* p) { return ScanPlainTextPortable(p); }

#endif

}  // namespace xml
