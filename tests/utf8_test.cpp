// The 8-bit conversion: UTF-8, ill-formed sequences replaced by U+FFFD one
// maximal subpart at a time.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/utf8.h"
#include "test_util.h"

namespace {

struct Utf8Case {
  std::string bytes;
  std::u16string units;
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
  EXPECT_EQ(std::u16string(out.data(), static_cast<std::size_t>(n)), c.units);
}

constexpr char16_t R = 0xFFFD;

INSTANTIATE_TEST_SUITE_P(Cases, Utf8Test, testing::Values(
    Utf8Case{"abc", u"abc"},
    Utf8Case{std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
    Utf8Case{"\xC3\xA9", u"\u00e9"},
    Utf8Case{"\xE2\x82\xAC", u"\u20ac"},
    Utf8Case{"\xEF\xBB\xBF<", u"\ufeff<"},
    Utf8Case{"\xF0\x9F\x98\x80", u"\U0001F600"},
    Utf8Case{"\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
    Utf8Case{"\xED\x9F\xBF", u"\ud7ff"},
    Utf8Case{"\xEE\x80\x80", u"\ue000"},
    // Stray and impossible bytes: one replacement each.
    Utf8Case{"\x80", {R}},
    Utf8Case{"\xBF\x80", {R, R}},
    Utf8Case{"\xC0\x80", {R, R}},
    Utf8Case{"\xC1\xBF", {R, R}},
    Utf8Case{"\xF5\x80\x80\x80", {R, R, R, R}},
    Utf8Case{"\xFF", {R}},
    // Overlong forms, surrogates and values above U+10FFFF: the lead byte
    // alone is the maximal subpart.
    Utf8Case{"\xE0\x80\x80", {R, R, R}},
    Utf8Case{"\xE0\x9F\xBF", {R, R, R}},
    Utf8Case{"\xF0\x80\x80\x80", {R, R, R, R}},
    Utf8Case{"\xF0\x8F\xBF\xBF", {R, R, R, R}},
    Utf8Case{"\xED\xA0\x80", {R, R, R}},
    Utf8Case{"\xED\xBF\xBF", {R, R, R}},
    Utf8Case{"\xF4\x90\x80\x80", {R, R, R, R}},
    // Truncated sequences: the well-formed prefix is one replacement.
    Utf8Case{"\xC3", {R}},
    Utf8Case{"\xC3x", {R, u'x'}},
    Utf8Case{"\xE2\x82", {R}},
    Utf8Case{"\xE2\x82x", {R, u'x'}},
    Utf8Case{"\xF0\x9F\x98", {R}},
    Utf8Case{"\xF0\x9F\x98<", {R, u'<'}},
    Utf8Case{"\xF0\x9F\xC3\xA9", {R, u'\u00e9'}},
    Utf8Case{std::string("\xE2\x82\0", 3), std::u16string({R, 0})},
    Utf8Case{"\xE1\x80\xE2\xF0\x91\x92\xF1\xBF\x41", {R, R, R, R, u'A'}}));

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
