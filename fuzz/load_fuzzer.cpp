// libFuzzer target: arbitrary bytes go through XmlDocument::LoadBytes exactly
// as Load hands over a file it has read (UTF-16 and 8-bit paths alike). After
// each input it checks what must hold whatever the bytes:
//   - the error, if any, is one of the fixed messages, at a position inside
//     the text that fits that message, and errorText names the line and
//     column of that position;
//   - the tree's links agree (parent, first and last child, both sibling
//     chains) and the tree has no more nodes than the text has "<";
//   - a document that passes is written back out and read again into the
//     same tree;
//   - freeing the tree is clean (AddressSanitizer's leak check).
// A broken invariant aborts with a message, which libFuzzer reports as a crash.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

#include "xml/document.h"
#include "xml/node.h"
#include "xml/text.h"

namespace {

using xml::String;
using xml::Unit;
using xml::XmlDocument;
using xml::XmlNode;
namespace message = xml::message;

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "invariant broken: %s\n", what);
  std::abort();
}

void Require(bool ok, const char* what) {
  if (!ok) Fail(what);
}

// What the text told the inspection hook, kept for the checks after LoadBytes.
struct Seen {
  bool called = false;
  std::size_t openAngles = 0;  // "<" in the text before its terminating zero
  std::string expectedError;   // "" when the parse passed
};
Seen seen;

bool IsName(const String& s) {
  if (s.empty() || !xml::IsNameStart(s[0])) return false;
  for (const Unit c : s) {
    if (!xml::IsNameChar(c)) return false;
  }
  return true;
}

// Whether the error position `p` fits the message recorded there; `end` is
// the text's terminating zero.
bool FitsMessage(const char* m, const Unit* text, const Unit* p, const Unit* end) {
  const Unit c = *p;
  if (m == message::kDocumentIsEmpty || m == message::kAttributes || m == message::kElementValue) {
    return p == end;
  }
  if (m == message::kLessThanExpected) return c != u'<' && !xml::IsWhitespace(c);
  if (m == message::kElementName) return p > text && p[-1] == u'<' && !xml::IsNameStart(c);
  if (m == message::kEmptyTag) return c == u'/' && p[1] != u'>';
  if (m == message::kEndTag) return c == u'<' && p[1] == u'/';
  if (m == message::kGarbageAfterRoot) return c != 0 && !xml::IsWhitespace(c);
  if (m == message::kAttributeName) return !xml::IsNameStart(c) && c != 0;
  if (m == message::kExpectingEquals) return c != u'=' && !xml::IsWhitespace(c);
  if (m == message::kExpectingQuotation) {
    if (c == u'"' || c == u'\'') return true;  // a value that is never closed
    return !xml::IsWhitespace(c);
  }
  if (m == message::kUnclosedMarkup) return p == end || (p > text && p[-1] == u'<');
  if (m == message::kCdataNotClosed) {
    // A section's "<", or a raw element's content start, just after its start tag.
    return (c == u'<' && p[1] == u'!' && p[2] == u'[') || (p > text && p[-1] == u'>');
  }
  if (m == message::kTextAndChild) {
    // Text, a non-empty CDATA section or a child's start tag.
    if (c == u'<') return p[1] == u'!' || xml::IsNameStart(p[1]);
    return c != 0 && !xml::IsWhitespace(c);
  }
  return false;  // not one of the fixed messages
}

// Called by the document at the end of the parse, while the text exists.
void Inspect(const XmlDocument& doc, const Unit* text) {
  Require(!seen.called, "the text is inspected once per load");
  seen.called = true;
  const Unit* end = text;
  for (; *end; ++end) {
    if (*end == u'<') ++seen.openAngles;
  }
  if (!doc.errorPos) {
    Require(doc.errorMessage == nullptr, "a message without a position");
    seen.expectedError.clear();
    return;
  }
  const auto pos = reinterpret_cast<std::uintptr_t>(doc.errorPos);
  Require(pos >= reinterpret_cast<std::uintptr_t>(text) && pos <= reinterpret_cast<std::uintptr_t>(end),
          "the error position is inside the text");
  Require(doc.errorMessage != nullptr, "a position without a message");
  Require(FitsMessage(doc.errorMessage, text, doc.errorPos, end), "the error position fits its message");

  long line = 1;
  const Unit* lineStart = text;
  for (const Unit* u = text; u != doc.errorPos; ++u) {
    if (*u == u'\n') {
      ++line;
      lineStart = u + 1;
    }
  }
  const long column = static_cast<long>(doc.errorPos - lineStart) + 1;
  seen.expectedError =
      "f.xml Line:" + std::to_string(line) + ", Col:" + std::to_string(column) + " " + doc.errorMessage;
  Require(doc.errorText == seen.expectedError, "errorText gives the error's line and column");
}

// Checks every node's links, walking the tree along them without recursion.
// `limit` bounds the number of nodes, so a cycle ends the walk too.
void CheckLinks(const XmlNode& root, std::size_t limit, bool passed) {
  Require(!root.parent && !root.prevSibling && !root.nextSibling, "the root has no parent and no siblings");
  std::size_t count = 0;
  const XmlNode* node = &root;
  while (node) {
    Require(++count <= limit, "no more nodes than \"<\" in the text");
    Require((node->firstChild == nullptr) == (node->lastChild == nullptr), "first and last child set together");
    const XmlNode* prev = nullptr;
    for (const XmlNode* c = node->firstChild; c; c = c->nextSibling) {
      Require(c->parent == node, "a child's parent is the node whose chain holds it");
      Require(c->prevSibling == prev, "prevSibling mirrors nextSibling");
      prev = c;
    }
    Require(node->lastChild == prev, "lastChild ends the sibling chain");
    if (passed) {
      Require(IsName(node->name), "every element of a passing document has a name");
      Require(!node->firstChild || node->value.empty(), "an element with children has no value");
      for (const auto& [key, text] : node->attributes) Require(IsName(key), "attribute names are names");
    }
    if (node->firstChild) {
      node = node->firstChild;
      continue;
    }
    while (node != &root && !node->nextSibling) node = node->parent;
    node = node == &root ? nullptr : node->nextSibling;
  }
}

bool IsRaw(const XmlNode& node) {
  const String* v = xml::FindAttribute(node, u"cdata");
  if (!v) return false;
  if (*v == u"1") return true;
  if (v->size() != 4) return false;
  for (std::size_t i = 0; i < 4; ++i) {
    if (xml::FoldCase((*v)[i]) != u"true"[i]) return false;
  }
  return true;
}

// An element's value as content that reads back as the same units: CDATA
// sections, split around any "]]>", so that no unit is decoded or replaced.
void AppendValue(String& out, const String& value) {
  std::size_t start = 0;
  for (;;) {
    const std::size_t close = value.find(u"]]>", start);
    const std::size_t stop = close == String::npos ? value.size() : close + 2;
    out += u"<![CDATA[";
    out.append(value, start, stop - start);
    out += u"]]>";
    if (close == String::npos) return;
    start = stop;
  }
}

// The tree as a UTF-16 document (byte-order mark and declaration first).
String Write(const XmlNode& root) {
  String out = u"\uFEFF<?xml version=\"1.0\" encoding=\"UTF-16\"?>";
  const XmlNode* node = &root;
  while (node) {
    out += u'<';
    out += node->name;
    for (const auto& [key, text] : node->attributes) {
      const Unit quote = text.find(u'"') == String::npos ? u'"' : u'\'';
      out += u' ';
      out += key;
      out += u'=';
      out += quote;
      out += text;
      out += quote;
    }
    if (node->firstChild) {
      out += u'>';
      node = node->firstChild;
      continue;
    }
    if (node->value.empty()) {
      out += u"/>";
    } else {
      out += u'>';
      if (IsRaw(*node)) {
        out += node->value;  // holds no "</name>", or the reader would have stopped there
      } else {
        AppendValue(out, node->value);
      }
      out += u"</" + node->name + u">";
    }
    while (node != &root && !node->nextSibling) {
      node = node->parent;
      out += u"</" + node->name + u">";
    }
    node = node == &root ? nullptr : node->nextSibling;
  }
  return out;
}

void RequireSameTree(const XmlNode& a, const XmlNode& b) {
  const XmlNode* x = &a;
  const XmlNode* y = &b;
  while (x) {
    Require(y != nullptr, "the written tree has as many nodes");
    Require(x->name == y->name && x->value == y->value && x->attributes == y->attributes,
            "the written tree reads back the same");
    Require((x->firstChild == nullptr) == (y->firstChild == nullptr), "the written tree has the same shape");
    if (x->firstChild) {
      x = x->firstChild;
      y = y->firstChild;
      continue;
    }
    while (x != &a && !x->nextSibling) {
      Require(!y->nextSibling, "the written tree has the same siblings");
      x = x->parent;
      y = y->parent;
    }
    if (x == &a) return;
    Require(y->nextSibling != nullptr, "the written tree has the same siblings");
    x = x->nextSibling;
    y = y->nextSibling;
  }
}

// Runs LoadBytes on a copy of the bytes, as Load would after reading them.
bool LoadCopy(XmlDocument& doc, const void* data, std::size_t size) {
  xml::ByteBuffer buffer = xml::AllocateFileBuffer(size);
  if (!buffer) std::abort();
  if (size) std::memcpy(buffer.get(), data, size);
  seen = Seen();
  doc.inspectText = &Inspect;
  return doc.LoadBytes(std::move(buffer), size, "f.xml");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  XmlDocument doc;
  const bool passed = LoadCopy(doc, data, size);
  // The 8-bit conversion never fails and nothing here runs out of memory, so
  // every load parses and is inspected.
  Require(seen.called, "every load reaches the parser");
  Require(passed == seen.expectedError.empty() && passed == doc.errorText.empty(),
          "a load passes exactly when no error was recorded");
  CheckLinks(*doc.root, seen.openAngles + 1, passed);
  if (!passed) return 0;

  const String written = Write(*doc.root);
  XmlDocument again;
  const bool passedAgain = LoadCopy(again, written.data(), written.size() * sizeof(Unit));
  Require(passedAgain, "a passing document, written back out, passes");
  Require(again.isUnicode == 1, "the written document is read as UTF-16");
  RequireSameTree(*doc.root, *again.root);
  return 0;
}
