// The vector scanners agree with their portable loops.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "xml/scan.h"

namespace {

// Text placed as the reader places it: 16-byte aligned, zero-terminated,
// zeroed padding after.
class AlignedText {
 public:
  explicit AlignedText(const std::u16string& text) {
    bytes_ = (text.size() + 1) * 2 + xml::kTextPadding;
    // malloc's alignment, as the reader's own buffers have it.
    data_ = static_cast<char16_t*>(std::malloc(bytes_));
    std::memset(data_, 0, bytes_);
    std::memcpy(data_, text.data(), text.size() * 2);
  }
  ~AlignedText() { std::free(data_); }
  AlignedText(const AlignedText&) = delete;
  AlignedText& operator=(const AlignedText&) = delete;
  const char16_t* data() const { return data_; }

 private:
  char16_t* data_;
  std::size_t bytes_;
};

void ExpectSameAtEveryStart(const std::u16string& text) {
  AlignedText t(text);
  for (std::size_t start = 0; start <= text.size(); ++start) {
    const char16_t* p = t.data() + start;
    ASSERT_EQ(xml::ScanPlainText(p), xml::ScanPlainTextPortable(p)) << "start " << start;
    ASSERT_EQ(xml::SkipBlanks(p), xml::SkipBlanksPortable(p)) << "start " << start;
    for (const char16_t unit : {u'"', u'\'', u'>', u'<'}) {
      ASSERT_EQ(xml::FindUnit(p, unit), xml::FindUnitPortable(p, unit)) << "start " << start;
    }
  }
}

TEST(Scanners, StopWhereTheirPortableLoopsStop) {
  for (const char16_t* stop : {u"<", u"&", u"\x01", u"\x1f", u"\x0b", u"\"", u"'", u">", u"x"}) {
    for (std::size_t at = 0; at < 40; ++at) {
      std::u16string text(40, at % 2 ? u'x' : u' ');
      text[at] = stop[0];
      ExpectSameAtEveryStart(text);
    }
  }
  // Units that look like the special ones in one byte, or above 0x7FFF.
  ExpectSameAtEveryStart(u"\t\n\r \u3c00\u263c\u0026\u2600\uffff\u8000\u001f");
  ExpectSameAtEveryStart(u"");
  ExpectSameAtEveryStart(std::u16string(100, u'a'));
}

TEST(Scanners, AgreeOnRandomText) {
  std::mt19937 random(7);
  const char16_t alphabet[] = {u'a', u' ', u'\t', u'\n', u'\r', u'<', u'&', u'"', u'\'', u'>', 1,
                               31,   32,   0x3c00, 0x2000, 0x0a00, 0xfffe, 0x8000};
  for (int round = 0; round < 300; ++round) {
    std::u16string text(random() % 70, u'a');
    for (auto& u : text) u = random() % 4 ? u'a' : alphabet[random() % std::size(alphabet)];
    ExpectSameAtEveryStart(text);
  }
}

}  // namespace

namespace {

TEST(NameClasses, MatchTheNameRule) {
  for (unsigned c = 0; c < 0x10000; ++c) {
    const auto u = static_cast<char16_t>(c);
    const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    const bool start = letter || c == '_';
    const bool more = start || (c >= '0' && c <= '9') || c == '-' || c == ':' || c == '.';
    ASSERT_EQ(xml::IsNameStart(u), start) << c;
    ASSERT_EQ(xml::IsNameChar(u), more) << c;
  }
}

}  // namespace
