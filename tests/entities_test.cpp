#include <gtest/gtest.h>

#include <string>

#include "test_util.h"
#include "xml/entities.h"

namespace {

struct ReadCase {
  std::u16string text;   // the text at the cursor
  std::uint32_t result;  // what ReadChar returns
  std::u16string rest;   // the text left after the cursor
};

void PrintTo(const ReadCase& c, std::ostream* os) { *os << testutil::Printable(c.text); }

class ReadCharTest : public testing::TestWithParam<ReadCase> {};

TEST_P(ReadCharTest, ReturnsValueAndLeavesRest) {
  const ReadCase& c = GetParam();
  const char16_t* cursor = c.text.c_str();
  EXPECT_EQ(xml::ReadChar(cursor), c.result);
  EXPECT_EQ(std::u16string(cursor), c.rest);
}

const std::u16string k79 = std::u16string(79, u'a');
const std::u16string k80 = std::u16string(80, u'a');

INSTANTIATE_TEST_SUITE_P(Cases, ReadCharTest, testing::Values(
    // Plain units and control units.
    ReadCase{u"ab", u'a', u"b"},
    ReadCase{u"", 0, u""},
    ReadCase{u"\x01x", u' ', u"x"},
    ReadCase{u"\x1b", u' ', u""},
    ReadCase{u"\t", u'\t', u""},
    ReadCase{u"\n", u'\n', u""},
    ReadCase{u"\r", u'\r', u""},
    ReadCase{u"\u00e9", 0xE9, u""},
    ReadCase{u"&", u'&', u""},
    // Named entities: any case for lower-case entries, ";" optional.
    ReadCase{u"&amp;x", u'&', u"x"},
    ReadCase{u"&AMP;", u'&', u""},
    ReadCase{u"&Amp;", u'&', u""},
    ReadCase{u"&lt;", u'<', u""},
    ReadCase{u"&nbsp x", 160, u" x"},
    ReadCase{u"&amp<", u'&', u"<"},
    ReadCase{u"&ampx;", u'&', u"ampx;"},
    ReadCase{u"&apos;", u'&', u"apos;"},
    ReadCase{u"&;", u'&', u";"},
    ReadCase{u"& x", u'&', u" x"},
    ReadCase{u"&sup2;", 178, u""},
    ReadCase{u"&frac14", 188, u""},
    // The first letter decides between entries that differ in its case.
    ReadCase{u"&Agrave;", 192, u""},
    ReadCase{u"&AGRAVE;", 192, u""},
    ReadCase{u"&agrave;", 224, u""},
    ReadCase{u"&aGRAVE;", 224, u""},
    ReadCase{u"&ETH;", 208, u""},
    ReadCase{u"&Eth;", 208, u""},
    ReadCase{u"&eth;", 240, u""},
    ReadCase{u"&QUOT;", 34, u""},
    ReadCase{u"&dstrok;", u'&', u"dstrok;"},
    ReadCase{u"&DSTROK;", 208, u""},
    // Names too long for any entry.
    ReadCase{u"&" + k79 + u";", u'&', k79 + u";"},
    ReadCase{u"&" + k80 + u";", u'&', k80 + u";"},
    // Decimal references: six digits at most.
    ReadCase{u"&#65;", u'A', u""},
    ReadCase{u"&#65x", u'A', u"x"},
    ReadCase{u"&#9;", u'\t', u""},
    ReadCase{u"&#13;", u'\r', u""},
    ReadCase{u"&#32;", u' ', u""},
    ReadCase{u"&#31;", u'&', u"#31;"},
    ReadCase{u"&#0;", u'&', u"#0;"},
    ReadCase{u"&#;", u'&', u"#;"},
    ReadCase{u"&#", u'&', u"#"},
    ReadCase{u"&#x41;", u'&', u"#x41;"},
    ReadCase{u"&#000065;", u'A', u";"},
    ReadCase{u"&#1234567;", 123456, u"7;"},
    ReadCase{u"&#65536;", 65536, u""},
    ReadCase{u"&#66;", u'B', u""}));

TEST(EntityTable, HasItsEntriesInOrderAndEndsEmpty) {
  EXPECT_EQ(std::u16string(xml::EntityTable[0].name), u"quot");
  EXPECT_EQ(std::u16string(xml::EntityTable[56].name), u"Dstrok");
  EXPECT_EQ(std::u16string(xml::EntityTable[103].name), u"yuml");
  EXPECT_EQ(xml::EntityTable[103].code, 255);
  EXPECT_EQ(xml::EntityTable[104].name[0], 0);
}

// Every entry is reachable under its own name, unless an earlier entry takes
// that name first.
TEST(EntityTable, EachNameFindsTheFirstMatchingEntry) {
  for (int i = 0; i < 104; ++i) {
    const std::u16string name = xml::EntityTable[i].name;
    EXPECT_EQ(xml::LookUpEntity(name.data(), static_cast<int>(name.size())), xml::EntityTable[i].code)
        << std::string(name.begin(), name.end());
  }
}

}  // namespace
