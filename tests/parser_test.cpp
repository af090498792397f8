// Whole documents: text in, the exact error text (or a pass) out, and the
// trees that passing documents build.
#include <gtest/gtest.h>

#include <string>

#include "test_util.h"
#include "xml/document.h"

namespace {

using testutil::ByPlatform;
using testutil::Check;

struct DocCase {
  std::string text;
  std::string error;  // "" when the document passes; else after "t.xml Line:"
};

void PrintTo(const DocCase& c, std::ostream* os) { *os << testutil::Printable(c.text); }

std::string Expected(const std::string& error) { return error.empty() ? "" : "t.xml Line:" + error; }

class DocumentTest : public testing::TestWithParam<DocCase> {};

TEST_P(DocumentTest, GivesErrorText) { EXPECT_EQ(Check(GetParam().text), Expected(GetParam().error)); }

INSTANTIATE_TEST_SUITE_P(Prolog, DocumentTest, testing::Values(
    DocCase{"<?xml version='1.0'?>\n<!-- c -->\n<!DOCTYPE a>\n<a/>", ""},
    DocCase{"<!DOCTYPE a [<!ELEMENT a ANY>]><a/>", "1, Col:30 '<' expected"},
    DocCase{"<!DOCTYPE a []><a/>", ""},
    DocCase{"<!----><a/>", ""},
    DocCase{"<!--><a/>", "1, Col:10 Could not find > while skipping data"},
    DocCase{"<!---><a/>", "1, Col:11 Could not find > while skipping data"},
    DocCase{"<!-- a -- b --><a/>", ""},
    DocCase{"<?pi", "1, Col:2 Could not find > while skipping data"},
    DocCase{"<", "1, Col:2 Could not find > while skipping data"},
    DocCase{"text", "1, Col:1 '<' expected"},
    DocCase{"</a>", "1, Col:2 Error reading element name"},
    // A start tag whose name does not start with a letter is skipped as markup.
    DocCase{"<1a>text</1a>", "1, Col:5 '<' expected"},
    DocCase{"<1a><b/>", ""},
    DocCase{"<\xC3\xA9>x", ByPlatform("1, Col:4 '<' expected", "1, Col:5 '<' expected")},
    DocCase{"<_a.b-c:d9/>", ""}));

INSTANTIATE_TEST_SUITE_P(StartTags, DocumentTest, testing::Values(
    DocCase{"<a b='1'c=\"2\"/>", ""},
    DocCase{"<a b = '1'\n\tc\r\n=\"2\" />", ""},
    DocCase{"<a b='1' / >", "1, Col:10 Error parsing empty tag"},
    DocCase{"<a/ >", "1, Col:3 Error parsing empty tag"},
    DocCase{"<a b>", "1, Col:5 Error reading attributes, expecting '='"},
    DocCase{"<a b  c='1'/>", "1, Col:7 Error reading attributes, expecting '='"},
    DocCase{"<a b=1/>", "1, Col:6 Error reading attributes value, expecting quotation"},
    DocCase{"<a b='1/>", "1, Col:6 Error reading attributes value, expecting quotation"},
    DocCase{"<a b=\"1'/>", "1, Col:6 Error reading attributes value, expecting quotation"},
    DocCase{"<a 1='x'/>", "1, Col:4 Error reading attributes name"},
    DocCase{"<a b='x'&/>", "1, Col:9 Error reading attributes name"},
    DocCase{"<a b='line\nbreak > & <'/>", ""},
    DocCase{"<a b='1' B='2' b='3'/>", ""},
    // Where the text ends inside a start tag.
    DocCase{"<a", "1, Col:3 Error reading attributes"},
    DocCase{"<a ", "1, Col:4 Error reading attributes"},
    DocCase{"<a b='1'", "1, Col:9 Error reading attributes"},
    DocCase{"<a b", "1, Col:5 Error reading attributes, expecting '='"},
    DocCase{"<a b ", "1, Col:6 Error reading attributes, expecting '='"},
    DocCase{"<a b=", "1, Col:6 Error reading attributes value, expecting quotation"},
    DocCase{"<a b= ", "1, Col:7 Error reading attributes value, expecting quotation"},
    DocCase{"<a b='x", "1, Col:6 Error reading attributes value, expecting quotation"},
    DocCase{"<a /", "1, Col:4 Error parsing empty tag"}));

INSTANTIATE_TEST_SUITE_P(EndTagsAndRoot, DocumentTest, testing::Values(
    DocCase{"<a></a>", ""},
    DocCase{"<a></A>", "1, Col:4 Error reading end tag"},
    DocCase{"<a></a >", "1, Col:4 Error reading end tag"},
    DocCase{"<a></ab>", "1, Col:4 Error reading end tag"},
    DocCase{"<ab></a>", "1, Col:5 Error reading end tag"},
    DocCase{"<a></a", "1, Col:4 Error reading end tag"},
    DocCase{"<a><b></a></b>", "1, Col:7 Error reading end tag"},
    DocCase{"<a></a><!-- c --> \n", ""},
    DocCase{"<a></a>\n<?pi?>\n", ""},
    DocCase{"<a></a>x", "1, Col:8 garbage after root element"},
    DocCase{"<a></a>\n <b/>", "2, Col:2 garbage after root element"},
    DocCase{"<a></a></a>", "1, Col:8 garbage after root element"},
    DocCase{"<a></a><!-- c", "1, Col:14 Could not find > while skipping data"},
    DocCase{"<a></a><?pi", "1, Col:9 Could not find > while skipping data"},
    // An empty-element root gets the same check.
    DocCase{"<a/>x", "1, Col:5 garbage after root element"},
    DocCase{"<a/><!-- c -->", ""},
    DocCase{"<a/><b/>", "1, Col:5 garbage after root element"},
    DocCase{"<a/><!--", "1, Col:9 Could not find > while skipping data"}));

INSTANTIATE_TEST_SUITE_P(Content, DocumentTest, testing::Values(
    DocCase{"<a>text<b/></a>", "1, Col:8 Error reading element value, both cdata and child element exist"},
    DocCase{"<a><b/>text</a>", "1, Col:8 Error reading element value, both cdata and child element exist"},
    DocCase{"<a><b/>&#32;</a>", "1, Col:8 Error reading element value, both cdata and child element exist"},
    DocCase{"<a><b/>\x01</a>", "1, Col:8 Error reading element value, both cdata and child element exist"},
    DocCase{"<a>text<!-- c --><b/></a>", ""},
    DocCase{"<a>x<![CDATA[]]><b/></a>", "1, Col:17 Error reading element value, both cdata and child element exist"},
    DocCase{"<a><![CDATA[]]><b/><![CDATA[]]></a>", ""},
    DocCase{"<a><b/><![CDATA[x]]></a>", "1, Col:8 Error reading element value, both cdata and child element exist"},
    DocCase{"<a><![CDATA[x]]><b/></a>", "1, Col:17 Error reading element value, both cdata and child element exist"},
    DocCase{"<a>\n  <b/>\n  <c/>\n</a>", ""},
    DocCase{"<a><b/> <!-- c --> <c/></a>", ""},
    DocCase{"<a><![CDATA[x", "1, Col:4 Error reading element value, CDATA close-tag is not found"},
    DocCase{"<a><![cdata[x]]></a>", ""},
    DocCase{"<a><![CDATA[x]]>", "1, Col:17 Error reading element value"},
    DocCase{"<a>", "1, Col:4 Error reading element value"},
    DocCase{"<a>text", "1, Col:8 Error reading element value"},
    DocCase{"<a>x&", "1, Col:6 Error reading element value"},
    DocCase{"<a><!-- c -->", "1, Col:14 Error reading element value"},
    DocCase{"<a><b>", "1, Col:7 Error reading element value"},
    DocCase{"<a>x > ]]> y</a>", ""},
    // "<" and a space or digit: markup up to the next ">", which may be the end tag's.
    DocCase{"<a>1 < 2</a>", "1, Col:13 Error reading element value"},
    DocCase{"<a><b>1 <2</b></a>", "1, Col:15 Error reading end tag"},
    DocCase{"<a>< x >y</a>", ""},
    // A CDATA section right after skipped markup is skipped as markup too.
    DocCase{"<a><!-- c --><![CDATA[x>y]]></a>", ""},
    DocCase{"<a><!-- c --><![CDATA[<b></b>]]></a>", "1, Col:26 Error reading end tag"}));

INSTANTIATE_TEST_SUITE_P(RawElements, DocumentTest, testing::Values(
    DocCase{"<a cdata='TRUE'><b> & ]]></a>", ""},
    DocCase{"<a CDATA='1'><b> & ]]></a>", ""},
    DocCase{"<a cdata='yes'><b> & ]]></a>", "1, Col:25 Error reading end tag"},
    DocCase{"<a cdata='true'>x</A>", "1, Col:17 Error reading element value, CDATA close-tag is not found"},
    DocCase{"<a cdata='true'></a >", "1, Col:17 Error reading element value, CDATA close-tag is not found"},
    DocCase{"<a cdata='true'/>", ""},
    DocCase{"<a cdata='1'>x</a></a>", "1, Col:19 garbage after root element"}));

// Documents that pass, rendered as name[attributes]=value(children).
std::string Render(const xml::XmlNode& node) {
  std::u16string out(node.name);
  if (!node.attributes.empty()) {
    out += u'[';
    for (const auto& [key, value] : node.attributes) out += key + u"=" + value + u";";
    out += u']';
  }
  if (!node.value.empty()) out += u"=" + node.value;
  if (node.firstChild) {
    out += u'(';
    for (const xml::XmlNode* c = node.firstChild; c; c = c->nextSibling) {
      const std::string child = Render(*c);
      out += std::u16string(child.begin(), child.end()) + u" ";
    }
    out += u')';
  }
  std::string ascii;
  for (const char16_t u : out) {
    if (u < 0x80) {
      ascii += static_cast<char>(u);
    } else {
      char hex[16];
      std::snprintf(hex, sizeof hex, "\\u%04x", static_cast<unsigned>(u));
      ascii += hex;
    }
  }
  return ascii;
}

struct TreeCase {
  std::string text;
  std::string tree;
};

void PrintTo(const TreeCase& c, std::ostream* os) { *os << testutil::Printable(c.text); }

class TreeTest : public testing::TestWithParam<TreeCase> {};

TEST_P(TreeTest, BuildsTree) {
  xml::XmlDocument doc;
  ASSERT_EQ(Check(GetParam().text, "t.xml", &doc), "");
  EXPECT_EQ(Render(*doc.root), GetParam().tree);
}

INSTANTIATE_TEST_SUITE_P(Cases, TreeTest, testing::Values(
    TreeCase{"<a>hello</a>", "a=hello"},
    TreeCase{"<a>a &amp; b</a>", "a=a & b"},
    TreeCase{"<a>&#65;&#65536;&#66;&#x41;</a>", "a=AB&#x41;"},
    TreeCase{"<a>x\x01y</a>", "a=x y"},
    TreeCase{"<a>one<!-- c -->\n two</a>", "a=two"},
    TreeCase{"<a>one<!-- c --></a>", "a"},
    TreeCase{"<a>  </a>", "a=  "},
    TreeCase{"<a><![CDATA[<b>&amp;]]> &amp;</a>", "a=<b>&amp; &"},
    TreeCase{"<a>x <?pi?>y</a>", "a=y"},
    TreeCase{"<a> <b>1</b> <c/> </a>", "a(b=1 c )"},
    TreeCase{"<a>x<!-- c --><b/></a>", "a(b )"},
    TreeCase{"<a b='&amp;' B='no' c=\"'\"/>", "a[b=&amp;;c=';]"},
    TreeCase{"<a cdata='1'><b>&amp;</b></a>", "a[cdata=1;]=<b>&amp;</b>"},
    TreeCase{"<a cdata='True'></a>", "a[cdata=True;]"},
    TreeCase{"<a><b cdata='1'>x</a></b></a>", "a(b[cdata=1;]=x</a> )"},
    TreeCase{"<a><!-- c --><![CDATA[<b>]]></a>", "a=]]>"},
    TreeCase{"<a>\xC3\xA9&eacute;</a>", ByPlatform("a=\\u00e9\\u00e9", "a=\\u00c3\\u00a9\\u00e9")}));

// Every prefix of a good document fails (none of them is complete), and
// never at a position past the end of the text.
TEST(Truncation, EveryPrefixFails) {
  const std::string doc =
      "<?xml version='1.0'?><!-- c --><r a='1' b=\"2\"><x>t &amp; &#65;<![CDATA[c]]></x>"
      "<y/><z cdata='1'><q></z></r>";
  ASSERT_EQ(Check(doc), "");
  for (std::size_t n = 0; n < doc.size(); ++n) {
    EXPECT_NE(Check(doc.substr(0, n)), "") << doc.substr(0, n);
  }
}

// Nesting has no limit and costs no stack: a million levels parse, fail at
// the exact place, and are freed.
TEST(Depth, MillionLevels) {
  constexpr int kDepth = 1'000'000;
  std::string open, close;
  for (int i = 0; i < kDepth; ++i) open += "<a>";
  for (int i = 0; i < kDepth; ++i) close += "</a>";
  xml::XmlDocument doc;
  EXPECT_EQ(Check(open + "x" + close, "t.xml", &doc), "");
  const xml::XmlNode* n = doc.root.get();
  int depth = 0;
  while (n->firstChild) {
    n = n->firstChild;
    ++depth;
  }
  EXPECT_EQ(depth, kDepth - 1);
  EXPECT_EQ(n->value, u"x");
  EXPECT_EQ(Check(open + close.substr(4)), "t.xml Line:1, Col:6999997 Error reading element value");
  EXPECT_EQ(Check(open + close + "<b/>"), "t.xml Line:1, Col:7000001 garbage after root element");
  EXPECT_EQ(Check(open + "<b>" + close), "t.xml Line:1, Col:3000004 Error reading end tag");
}

}  // namespace
