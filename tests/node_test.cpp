#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "xml/node.h"

namespace {

using xml::String;
using xml::XmlNode;

TEST(AttributeMap, FirstOfCaseVariantKeysWins) {
  XmlNode node;
  node.AddAttribute(u"a", u"1");
  node.AddAttribute(u"A", u"2");
  ASSERT_EQ(node.attributes.size(), 1u);
  EXPECT_EQ(node.attributes.begin()->first, u"a");
  EXPECT_EQ(node.attributes.begin()->second, u"1");
}

TEST(AttributeMap, FindIgnoresAsciiCaseOnly) {
  XmlNode node;
  node.AddAttribute(u"cdata", u"x");
  node.AddAttribute(u"\u00e9", u"small");
  node.AddAttribute(u"\u00c9", u"capital");
  ASSERT_NE(xml::FindAttribute(node, u"CDATA"), nullptr);
  EXPECT_EQ(*xml::FindAttribute(node, u"CDATA"), u"x");
  EXPECT_EQ(node.attributes.size(), 3u);
  EXPECT_EQ(*xml::FindAttribute(node, u"\u00c9"), u"capital");
  EXPECT_EQ(xml::FindAttribute(node, u"cdat"), nullptr);

  XmlNode upper;
  upper.AddAttribute(u"CData", u"y");
  EXPECT_EQ(*xml::FindAttribute(upper, u"cdata"), u"y");
}

TEST(AttributeMap, OrdersByFoldedUnitsWithPrefixesFirst) {
  XmlNode node;
  for (const char16_t* key : {u"b", u"AB", u"a", u"_", u"ab-c", u"Z", u"\u00e9", u"a1"}) node.AddAttribute(key, u"");
  std::vector<String> keys;
  for (const auto& [key, value] : node.attributes) keys.push_back(key);
  // Upper-case letters fold down, so "_" (95) comes before every letter, and
  // "é" (233) after every ASCII unit.
  EXPECT_EQ(keys, (std::vector<String>{u"_", u"a", u"a1", u"AB", u"ab-c", u"b", u"Z", u"\u00e9"}));
}

TEST(XmlNode, AppendKeepsDocumentOrderAndLinks) {
  XmlNode parent;
  auto* a = xml::NewNode();
  auto* b = xml::NewNode();
  auto* c = xml::NewNode();
  parent.AppendChild(a);
  parent.AppendChild(b);
  parent.AppendChild(c);
  EXPECT_EQ(parent.firstChild, a);
  EXPECT_EQ(parent.lastChild, c);
  EXPECT_EQ(a->nextSibling, b);
  EXPECT_EQ(b->nextSibling, c);
  EXPECT_EQ(c->nextSibling, nullptr);
  EXPECT_EQ(c->prevSibling, b);
  EXPECT_EQ(b->prevSibling, a);
  EXPECT_EQ(a->prevSibling, nullptr);
  for (XmlNode* n : {a, b, c}) EXPECT_EQ(n->parent, &parent);
}

// Freeing must not recurse per level or per sibling: a million of either
// would exhaust the stack. The sanitizer build checks that all is freed.
TEST(XmlNode, FreesDeepChainsAndWideTrees) {
  constexpr int kCount = 1'000'000;
  {
    XmlNode root;
    XmlNode* node = &root;
    for (int i = 0; i < kCount; ++i) {
      auto* child = xml::NewNode();
      node->AppendChild(child);
      node = child;
    }
  }
  {
    XmlNode root;
    for (int i = 0; i < kCount; ++i) root.AppendChild(xml::NewNode());
  }
  {
    // A comb: every node of a deep chain also has a few leaves.
    XmlNode root;
    XmlNode* node = &root;
    for (int i = 0; i < kCount / 4; ++i) {
      auto* child = xml::NewNode();
      node->AppendChild(xml::NewNode());
      node->AppendChild(child);
      node->AppendChild(xml::NewNode());
      node = child;
    }
  }
}

}  // namespace
