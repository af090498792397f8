// Loading: reading the file, the UTF-16 decision, the 8-bit path, and the
// error text with its line and column.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_util.h"
#include "xml/document.h"

namespace {

using testutil::ByPlatform;
using testutil::Check;
using testutil::Utf16;

const std::u16string kDecl = u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>";

TEST(Load, ReportsFilesThatCannotBeOpened) {
  xml::XmlDocument doc;
  EXPECT_FALSE(doc.Load("no-such-file.xml"));
  EXPECT_EQ(doc.errorText, "can not open file no-such-file.xml");

  testutil::TempDir dir;
  EXPECT_FALSE(doc.Load(dir.path().string().c_str()));  // a directory is not a file
  EXPECT_EQ(doc.errorText, "can not open file " + dir.path().string());
}

// A device opens like a file but is not read: it could wait for input forever.
TEST(Load, RefusesDevices) {
  using Names = std::vector<std::string>;
  xml::XmlDocument doc;
  for (const std::string& device : ByPlatform<Names>({"/dev/null", "/dev/zero"}, {"NUL", "nul.xml", "CON"})) {
    EXPECT_FALSE(doc.Load(device.c_str()));
    EXPECT_EQ(doc.errorText, "can not open file " + device);
  }
}

TEST(Load, ReadsAFileAndReplacesThePreviousTree) {
  testutil::TempDir dir;
  testutil::WriteFile(dir.path() / "a.xml", "<a>x</a>");
  testutil::WriteFile(dir.path() / "b.xml", "<b>");
  const std::string a = (dir.path() / "a.xml").string();
  const std::string b = (dir.path() / "b.xml").string();
  xml::XmlDocument doc;
  ASSERT_TRUE(doc.Load(a.c_str()));
  EXPECT_EQ(doc.root->name, u"a");
  EXPECT_EQ(doc.root->value, u"x");
  EXPECT_TRUE(doc.errorText.empty());
  EXPECT_FALSE(doc.Load(b.c_str()));
  EXPECT_EQ(doc.root->name, u"b");
  EXPECT_EQ(doc.errorText, b + " Line:1, Col:4 Error reading element value");
  ASSERT_TRUE(doc.Load(a.c_str()));
  EXPECT_TRUE(doc.errorText.empty());
}

struct LoadCase {
  std::string bytes;
  std::string error;  // "" when the document passes
};

void PrintTo(const LoadCase& c, std::ostream* os) { *os << testutil::Printable(c.bytes); }

class LoadTest : public testing::TestWithParam<LoadCase> {};

TEST_P(LoadTest, GivesErrorText) { EXPECT_EQ(Check(GetParam().bytes), GetParam().error); }

INSTANTIATE_TEST_SUITE_P(Cases, LoadTest, testing::Values(
    LoadCase{"", "t.xml Line:1, Col:1 Document is empty"},
    LoadCase{" \t\r\n ", "t.xml Line:2, Col:2 Document is empty"},
    LoadCase{"\n\n\n", "t.xml Line:4, Col:1 Document is empty"},
    LoadCase{std::string("  \0<a/>", 7), "t.xml Line:1, Col:3 Document is empty"},
    LoadCase{std::string("<a/>\0garbage", 12), ""},
    LoadCase{"<a>\r\n</b>", "t.xml Line:2, Col:1 Error reading end tag"},
    LoadCase{"<a>\r\r\t</b>", "t.xml Line:1, Col:7 Error reading end tag"},
    // The UTF-8 byte-order mark is a character, not whitespace.
    LoadCase{"\xEF\xBB\xBF<a/>", "t.xml Line:1, Col:1 '<' expected"},
    // A character outside the basic plane is two units, two columns (1252:
    // one unit a byte).
    LoadCase{"<a>\xF0\x9F\x98\x80</b>",
             ByPlatform("t.xml Line:1, Col:6 Error reading end tag", "t.xml Line:1, Col:8 Error reading end tag")},
    LoadCase{"<a>\xC3\xA9</b>",
             ByPlatform("t.xml Line:1, Col:5 Error reading end tag", "t.xml Line:1, Col:6 Error reading end tag")},
    LoadCase{"<a>\xFF\xFE</b>", "t.xml Line:1, Col:6 Error reading end tag"}));

// UTF-16 rows run as little- and big-endian twins.
struct Utf16Case {
  std::u16string text;  // after the byte-order mark
  std::string error;    // with the file name t.xml
};

void PrintTo(const Utf16Case& c, std::ostream* os) { *os << testutil::Printable(c.text); }

class Utf16Test : public testing::TestWithParam<std::tuple<Utf16Case, bool>> {};

TEST_P(Utf16Test, GivesErrorText) {
  const auto& [c, big] = GetParam();
  xml::XmlDocument doc;
  EXPECT_EQ(Check(Utf16(c.text, big), "t.xml", &doc), c.error);
  EXPECT_EQ(doc.isUnicode, 1);
}

INSTANTIATE_TEST_SUITE_P(Cases, Utf16Test, testing::Combine(testing::Values(
    Utf16Case{kDecl + u"<a>\u20ac\u00e9</a>", ""},
    Utf16Case{u"<?xml encoding=\"utf-16\"?><a/>", ""},
    // The byte-order mark counts as one column.
    Utf16Case{u"<?xml encoding=\"UTF-16\"?>", "t.xml Line:1, Col:27 '<' expected"},
    Utf16Case{u"</a><?xml encoding=\"UTF-16\"?>", "t.xml Line:1, Col:3 Error reading element name"},
    Utf16Case{u"<?xml encoding=\"UTF-16\"?>\r\n<a>\r\n</b>", "t.xml Line:3, Col:1 Error reading end tag"},
    // The declaration's closing quote is the 127th unit of the file.
    Utf16Case{u"<!--" + std::u16string(114, u' ') + u"\"UTF-16\"--><a/>", ""}),
    testing::Bool()));

// Files that start with a byte-order mark but are read as 8-bit text. Their
// second byte is zero or the mark is not whitespace, so each fails at 1:1.
struct NotUtf16Case {
  std::u16string text;
  bool bigEndian;
};

void PrintTo(const NotUtf16Case& c, std::ostream* os) {
  *os << testutil::Printable(c.text) << (c.bigEndian ? " BE" : " LE");
}

class NotUtf16Test : public testing::TestWithParam<NotUtf16Case> {};

TEST_P(NotUtf16Test, IsReadAs8BitText) {
  xml::XmlDocument doc;
  EXPECT_EQ(Check(Utf16(GetParam().text, GetParam().bigEndian), "t.xml", &doc),
            "t.xml Line:1, Col:1 '<' expected");
  EXPECT_EQ(doc.isUnicode, 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, NotUtf16Test, testing::Values(
    NotUtf16Case{u"<?xml encoding='UTF-16'?><a/>", false},
    NotUtf16Case{u"<?xml encoding=\"Utf-16\"?><a/>", false},
    NotUtf16Case{u"<?xml encoding='UTF-16'?><a/>", true},
    NotUtf16Case{u"<?xml encoding=\"UTF16\"?><a/>", true},
    // The closing quote is the 128th unit: outside the window.
    NotUtf16Case{u"<!--" + std::u16string(115, u' ') + u"\"UTF-16\"--><a/>", false},
    // A zero unit ends the window early.
    NotUtf16Case{std::u16string(u"\0\"UTF-16\"<a/>", 13), false}));

TEST(Utf16, OddTrailingByteIsDropped) {
  EXPECT_EQ(Check(Utf16(kDecl + u"<a/>", false) + "x"), "");
  EXPECT_EQ(Check(Utf16(kDecl + u"<a/>", true) + "x"), "");
  EXPECT_EQ(Check(Utf16(kDecl + u"<a>", false) + "x"), "t.xml Line:1, Col:44 Error reading element value");
}

TEST(Utf16, TextEndsAtAZeroUnit) {
  const std::u16string text = kDecl + u"<a/>" + std::u16string(1, u'\0') + u"garbage";
  EXPECT_EQ(Check(Utf16(text, false)), "");
  EXPECT_EQ(Check(Utf16(text, true)), "");
}

TEST(IsDeclaredUtf16, NeedsTheMarkAndTheQuotedName) {
  const std::string le = Utf16(u"\"UTF-16\"", false);
  const std::string be = Utf16(u"\"utf-16\"", true);
  auto yes = [](const std::string& s) {
    return xml::IsDeclaredUtf16(reinterpret_cast<const unsigned char*>(s.data()), s.size());
  };
  EXPECT_TRUE(yes(le));
  EXPECT_TRUE(yes(be));
  EXPECT_FALSE(yes(le.substr(0, le.size() - 1)));  // the closing quote is cut in half
  EXPECT_FALSE(yes("\xFF"));
  EXPECT_FALSE(yes(le.substr(2)));                  // no mark
}

}  // namespace
