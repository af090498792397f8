// The 8-bit conversion. POSIX: UTF-8, ill-formed sequences replaced by
// U+FFFD one maximal subpart at a time. Windows: the ANSI code page, here
// 1252, one unit per byte.
#include <gtest/gtest.h>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#endif

#include <random>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/utf8.h"
#include "test_util.h"

namespace {

#ifdef _WIN32
// The Windows column below, and the Windows expectations of the other tests,
// are those of code page 1252 (Wine's with LANG=C.UTF-8).
TEST(ConvertFrom8Bit, AnsiCodePageIs1252) { ASSERT_EQ(GetACP(), 1252u) << "run the tests with LANG=C.UTF-8"; }
#endif

struct Utf8Case {
  std::string bytes;
  std::u16string units;    // POSIX
  std::u16string windows;  // Windows, code page 1252
};

void PrintTo(const Utf8Case& c, std::ostream* os) { *os << testutil::Printable(c.bytes); }

class Utf8Test : public testing::TestWithParam<Utf8Case> {};

TEST_P(Utf8Test, Decodes) {
  const Utf8Case& c = GetParam();
  std::vector<char16_t> out(c.bytes.size() + 1, u'?');
  const auto n = platform::ConvertFrom8Bit(reinterpret_cast<const unsigned char*>(c.bytes.data()),
                                           c.bytes.size(), out.data());
  ASSERT_GE(n, 0);
  ASSERT_LE(static_cast<std::size_t>(n), c.bytes.size());
  EXPECT_EQ(std::u16string(out.data(), static_cast<std::size_t>(n)), testutil::ByPlatform(c.units, c.windows));
}

constexpr char16_t R = 0xFFFD;
constexpr char16_t E = 0x20AC;  // what 1252 makes of 0x80, the euro sign

INSTANTIATE_TEST_SUITE_P(Cases, Utf8Test, testing::Values(
    Utf8Case{"abc", u"abc",
             u"abc"},
    Utf8Case{std::string("a\0b", 3), std::u16string(u"a\0b", 3),
             std::u16string(u"a\0b", 3)},
    Utf8Case{"\xC3\xA9", u"\u00e9",
             u"\u00c3\u00a9"},
    Utf8Case{"\xE2\x82\xAC", u"\u20ac",
             u"\u00e2\u201a\u00ac"},
    Utf8Case{"\xEF\xBB\xBF<", u"\ufeff<",
             u"\u00ef\u00bb\u00bf<"},
    Utf8Case{"\xF0\x9F\x98\x80", u"\U0001F600",
             {0xF0, 0x178, 0x2DC, E}},
    Utf8Case{"\xF4\x8F\xBF\xBF", u"\U0010FFFF",
             {0xF4, 0x8F, 0xBF, 0xBF}},
    Utf8Case{"\xED\x9F\xBF", u"\ud7ff",
             {0xED, 0x178, 0xBF}},
    Utf8Case{"\xEE\x80\x80", u"\ue000",
             {0xEE, E, E}},
    // 1252 has its own characters at 0x80 to 0x9F and keeps the five it
    // leaves undefined as C1 controls; from 0xA0 on it is Latin-1.
    Utf8Case{"\x80\x81\x82\x83\x84\x85\x86\x87\x88\x89\x8A\x8B\x8C\x8D\x8E\x8F"
             "\x90\x91\x92\x93\x94\x95\x96\x97\x98\x99\x9A\x9B\x9C\x9D\x9E\x9F",
             std::u16string(32, R),
             {E,      0x81,   0x201A, 0x192,  0x201E, 0x2026, 0x2020, 0x2021,
              0x2C6,  0x2030, 0x160,  0x2039, 0x152,  0x8D,   0x17D,  0x8F,
              0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
              0x2DC,  0x2122, 0x161,  0x203A, 0x153,  0x9D,   0x17E,  0x178}},
    Utf8Case{"\xA0\xE9\xFF", {R, R, R},
             {0xA0, 0xE9, 0xFF}},
    // The comments below are about UTF-8.
    // Stray and impossible bytes: one replacement each.
    Utf8Case{"\x80", {R},
             {E}},
    Utf8Case{"\xBF\x80", {R, R},
             {0xBF, E}},
    Utf8Case{"\xC0\x80", {R, R},
             {0xC0, E}},
    Utf8Case{"\xC1\xBF", {R, R},
             {0xC1, 0xBF}},
    Utf8Case{"\xF5\x80\x80\x80", {R, R, R, R},
             {0xF5, E, E, E}},
    Utf8Case{"\xFF", {R},
             {0xFF}},
    // Overlong forms, surrogates and values above U+10FFFF: the lead byte
    // alone is the maximal subpart.
    Utf8Case{"\xE0\x80\x80", {R, R, R},
             {0xE0, E, E}},
    Utf8Case{"\xE0\x9F\xBF", {R, R, R},
             {0xE0, 0x178, 0xBF}},
    Utf8Case{"\xF0\x80\x80\x80", {R, R, R, R},
             {0xF0, E, E, E}},
    Utf8Case{"\xF0\x8F\xBF\xBF", {R, R, R, R},
             {0xF0, 0x8F, 0xBF, 0xBF}},
    Utf8Case{"\xED\xA0\x80", {R, R, R},
             {0xED, 0xA0, E}},
    Utf8Case{"\xED\xBF\xBF", {R, R, R},
             {0xED, 0xBF, 0xBF}},
    Utf8Case{"\xF4\x90\x80\x80", {R, R, R, R},
             {0xF4, 0x90, E, E}},
    // Truncated sequences: the well-formed prefix is one replacement.
    Utf8Case{"\xC3", {R},
             {0xC3}},
    Utf8Case{"\xC3x", {R, u'x'},
             {0xC3, u'x'}},
    Utf8Case{"\xE2\x82", {R},
             {0xE2, 0x201A}},
    Utf8Case{"\xE2\x82x", {R, u'x'},
             {0xE2, 0x201A, u'x'}},
    Utf8Case{"\xF0\x9F\x98", {R},
             {0xF0, 0x178, 0x2DC}},
    Utf8Case{"\xF0\x9F\x98<", {R, u'<'},
             {0xF0, 0x178, 0x2DC, u'<'}},
    Utf8Case{"\xF0\x9F\xC3\xA9", {R, u'\u00e9'},
             {0xF0, 0x178, 0xC3, 0xA9}},
    Utf8Case{std::string("\xE2\x82\0", 3), std::u16string({R, 0}),
             std::u16string({0xE2, 0x201A, 0})},
    Utf8Case{"\xE1\x80\xE2\xF0\x91\x92\xF1\xBF\x41", {R, R, R, R, u'A'},
             {0xE1, E, 0xE2, 0xF0, 0x2018, 0x2019, 0xF1, 0xBF, u'A'}}));

// The 16-bytes-at-a-time path against the byte-at-a-time loop: random mixes
// of ASCII and of every kind of lead and continuation byte, at every length,
// so that sequences fall on and across block boundaries.
TEST(DecodeUtf8, FastPathAgreesWithPortableLoop) {
  std::mt19937 random(11);
  const unsigned char awkward[] = {0x80, 0xBF, 0xC2, 0xC3, 0xDF, 0xE0, 0xE2, 0xED, 0xEF,
                                   0xF0, 0xF4, 0xF5, 0xFF, 0xA0, 0x9F, 0x8F, 0x90, 0x00};
  for (int round = 0; round < 2000; ++round) {
    std::vector<unsigned char> bytes(random() % 100);
    for (auto& b : bytes) b = random() % 3 ? static_cast<unsigned char>(0x20 + random() % 95) : awkward[random() % std::size(awkward)];
    std::vector<char16_t> fast(bytes.size() + 1), portable(bytes.size() + 1);
    const auto n = platform::DecodeUtf8(bytes.data(), bytes.size(), fast.data());
    const auto m = platform::DecodeUtf8Portable(bytes.data(), bytes.size(), portable.data());
    ASSERT_EQ(n, m);
    ASSERT_EQ(std::u16string(fast.data(), n), std::u16string(portable.data(), m)) << "round " << round;
  }
}

}  // namespace
