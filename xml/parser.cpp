// Elements, attributes and content. Every function that meets an error
// records it in the document and returns null; every caller passes the null
// up at once.
#include "xml/parser.h"

#include <cstdint>

#include "xml/entities.h"
#include "xml/scan.h"

namespace xml {

namespace {

// The first occurrence of `pattern` (no zero unit in it) at or after `p`, or
// the terminating zero when there is none. Linear for the reader's patterns:
// "-->" and "]]>" are short, and an end tag "</name>" holds no second "<", so
// a partial match never runs past the next "<" in the text.
const Unit* Search(const Unit* p, const Unit* pattern) {
  const Unit first = pattern[0];
  for (;; ++p) {
    const Unit c = *p;
    if (c == 0) return p;
    if (c != first) continue;
    int i = 1;
    while (pattern[i] && p[i] == pattern[i]) ++i;
    if (!pattern[i]) return p;
  }
}

bool EqualsIgnoreCase(StringView s, const Unit* ascii) {
  std::size_t i = 0;
  for (; i < s.size() && ascii[i]; ++i) {
    if (FoldCase(s[i]) != ascii[i]) return false;
  }
  return i == s.size() && !ascii[i];
}

// "<![CDATA[" at `p`, in any ASCII case.
bool IsCdataOpen(const Unit* p) {
  static constexpr Unit kOpen[] = u"<![cdata[";
  for (int i = 0; kOpen[i]; ++i) {
    if (FoldCase(p[i]) != kOpen[i]) return false;  // stops at the terminating zero
  }
  return true;
}

std::u16string EndTag(const XmlNode& node) { return u"</" + std::u16string(node.name) + u">"; }

// The end of the name that starts at `p`, or `p` when none starts there.
const Unit* ScanName(const Unit* p) {
  if (!IsNameStart(*p)) return p;
  ++p;
  while (IsNameChar(*p)) ++p;
  return p;
}

// "cdata" in any ASCII case.
bool IsCdataName(const Unit* begin, const Unit* end) {
  return end - begin == 5 && FoldCase(begin[0]) == u'c' && FoldCase(begin[1]) == u'd' &&
         FoldCase(begin[2]) == u'a' && FoldCase(begin[3]) == u't' && FoldCase(begin[4]) == u'a';
}

// The start tag of `node`, after any leading markup. Returns the position
// after its ">" (the content start) or after its "/>" (`empty` set);
// `maybeRaw` tells whether an attribute named "cdata" was read.
const Unit* ParseStartTag(XmlNode& node, const Unit* p, XmlDocument& doc, bool& empty, bool& maybeRaw) {
  maybeRaw = false;
  p = SkipMisc(p, doc);
  if (!p) return nullptr;
  if (*p != u'<') {
    doc.RecordError(p, message::kLessThanExpected);
    return nullptr;
  }
  const Unit* cursor = p + 1;
  if (!ReadName(node.name, cursor)) {
    doc.RecordError(p + 1, message::kElementName);
    return nullptr;
  }
  for (;;) {
    const Unit* const q = SkipWhitespace(cursor);
    if (*q == 0) {
      doc.RecordError(q, message::kAttributes);
      return nullptr;
    }
    if (*q == u'/') {
      if (q[1] == u'>') {  // no whitespace between "/" and ">"
        empty = true;
        return q + 2;
      }
      doc.RecordError(q, message::kEmptyTag);
      return nullptr;
    }
    if (*q == u'>') {
      empty = false;
      return q + 1;
    }
    const Unit* const nameEnd = ScanName(q);
    if (nameEnd == q) {
      doc.RecordError(q, message::kAttributeName);
      return nullptr;
    }
    const Unit* const r = SkipWhitespace(nameEnd);
    if (*r != u'=') {
      doc.RecordError(r, message::kExpectingEquals);
      return nullptr;
    }
    const Unit* const v = SkipWhitespace(r + 1);
    if (*v != u'\'' && *v != u'"') {
      doc.RecordError(v, message::kExpectingQuotation);
      return nullptr;
    }
    const Unit* const close = FindUnit(v + 1, *v);
    if (*close == 0) {
      doc.RecordError(v, message::kExpectingQuotation);  // at the opening quote
      return nullptr;
    }
    // The value as written: no references decoded, line breaks kept.
    maybeRaw = maybeRaw || IsCdataName(q, nameEnd);
    node.AddAttribute(StringView(q, static_cast<std::size_t>(nameEnd - q)),
                      StringView(v + 1, static_cast<std::size_t>(close - (v + 1))));
    cursor = close + 1;  // the next attribute may follow without whitespace
  }
}

// `r` is where the content of `node` ended, at a "</". The end tag must
// repeat the start tag's name exactly, with no whitespace inside.
const Unit* ReadEndTag(const XmlNode& node, const Unit* r, XmlDocument& doc) {
  const Unit* u = r;
  bool match = u[0] == u'<' && u[1] == u'/';
  if (match) {
    u += 2;
    for (const Unit c : node.name) {
      if (*u != c) {  // the terminating zero never matches a name unit
        match = false;
        break;
      }
      ++u;
    }
  }
  if (!match || *u != u'>') {
    doc.RecordError(r, message::kEndTag);
    return nullptr;
  }
  return u + 1;
}

// After the root element only whitespace and skippable markup may follow.
const Unit* CheckAfterRoot(const Unit* r, XmlDocument& doc) {
  const Unit* const s = SkipMisc(r, doc);
  if (!s) return nullptr;
  if (*s != 0) {
    doc.RecordError(s, message::kGarbageAfterRoot);
    return nullptr;
  }
  return s;
}

}  // namespace

const Unit* SkipWhitespace(const Unit* p) { return SkipBlanks(p); }

bool ReadName(String& out, const Unit*& cursor) {
  out.clear();
  const Unit* const p = ScanName(cursor);
  if (p == cursor) return false;
  out.append(cursor, static_cast<std::size_t>(p - cursor));
  cursor = p;
  return true;
}

const Unit* SkipMarkup(const Unit* p, XmlDocument& doc) {
  if (p[0] == u'!' && p[1] == u'-' && p[2] == u'-') {
    // The search starts after "!--": "<!-->" and "<!--->" do not close themselves.
    const Unit* const close = Search(p + 3, u"-->");
    if (*close == 0) {
      doc.RecordError(close, message::kUnclosedMarkup);  // at the end of the text
      return nullptr;
    }
    return close + 3;
  }
  // Declarations, processing instructions and anything else: the first ">"
  // ends it, whatever quotes or brackets come before.
  const Unit* const close = FindUnit(p, u'>');
  if (*close == 0) {
    doc.RecordError(p, message::kUnclosedMarkup);
    return nullptr;
  }
  return close + 1;
}

const Unit* SkipMisc(const Unit* p, XmlDocument& doc) {
  p = SkipWhitespace(p);
  while (p[0] == u'<' && !IsNameStart(p[1]) && p[1] != u'/') {
    p = SkipMarkup(p + 1, doc);
    if (!p) return nullptr;
    p = SkipWhitespace(p);
  }
  return p;
}

const Unit* ParseContent(XmlNode& node, const Unit* p, XmlDocument& doc, std::u16string& run, XmlNode*& child,
                         bool maybeRaw) {
  // A raw element (cdata="true" in any case, or "1") holds everything up to
  // the first exact occurrence of its end tag, as written.
  const String* const raw = maybeRaw ? FindAttribute(node, u"cdata") : nullptr;
  if (raw) {
    if (EqualsIgnoreCase(*raw, u"true") || *raw == u"1") {
      const Unit* const end = Search(p, EndTag(node).c_str());
      if (*end == 0) {
        doc.RecordError(p, message::kCdataNotClosed);
        return nullptr;
      }
      node.value.assign(p, end);
      child = nullptr;
      return end;
    }
  }
  return ContinueContent(node, p, doc, run, child);
}

namespace {

// The text run of the content parser. While it is one stretch of the text as
// written, only its bounds are kept; it is copied into the scratch buffer
// once something else (a decoded reference, a CDATA section) joins it.
class Run {
 public:
  explicit Run(std::u16string& buffer) : buffer_(buffer) { buffer_.clear(); }

  void AppendText(const Unit* begin, const Unit* end) {
    if (begin == end) return;
    if (!buffered_) {
      if (!begin_) {
        begin_ = begin;
        end_ = end;
        return;
      }
      if (end_ == begin) {
        end_ = end;
        return;
      }
      Buffer();
    }
    buffer_.append(begin, end);
  }
  void AppendUnit(Unit u) {
    if (!buffered_) Buffer();
    buffer_.push_back(u);
  }
  bool Empty() const { return buffered_ ? buffer_.empty() : begin_ == nullptr; }
  StringView View() const {
    return buffered_ ? StringView(buffer_) : StringView(begin_, static_cast<std::size_t>(end_ - begin_));
  }

 private:
  void Buffer() {
    buffer_.assign(begin_, end_);
    buffered_ = true;
  }
  std::u16string& buffer_;
  const Unit* begin_ = nullptr;
  const Unit* end_ = nullptr;
  bool buffered_ = false;
};

}  // namespace

// Content is read in runs: a run starts at the content start and after each
// child element or skipped construct, and collects decoded text and CDATA.
// `leading` stays true while the run holds nothing but whitespace and empty
// CDATA sections; text and child elements may not share an element.
const Unit* ContinueContent(XmlNode& node, const Unit* p, XmlDocument& doc, std::u16string& scratch,
                            XmlNode*& child) {
  child = nullptr;
  for (;;) {
    Run run(scratch);
    bool leading = true;
    if (*p == 0) {
      doc.RecordError(p, message::kElementValue);
      return nullptr;
    }
    // Text and CDATA sections up to a "<" that opens something else.
    for (;;) {
      if (*p == u'<') {
        if (!IsCdataOpen(p)) break;
        const Unit* const s = p + 9;
        const Unit* const close = Search(s, u"]]>");
        if (*close == 0) {
          doc.RecordError(p, message::kCdataNotClosed);
          return nullptr;
        }
        if (leading && s != close) {  // an empty section is not text
          leading = false;
          if (node.firstChild) {
            doc.RecordError(p, message::kTextAndChild);
            return nullptr;
          }
        }
        run.AppendText(s, close);
        p = close + 3;
      } else if (leading && IsWhitespace(*p)) {
        const Unit* const blank = SkipWhitespace(p);
        run.AppendText(p, blank);
        p = blank;
      } else {
        // Tested on the unit as written: "&#32;" is text, not whitespace.
        if (leading) {
          leading = false;
          if (node.firstChild) {
            doc.RecordError(p, message::kTextAndChild);
            return nullptr;
          }
        }
        // Plain units stand for themselves; "&" and control units go
        // through ReadChar.
        const Unit* const plain = ScanPlainText(p);
        if (plain != p) {
          run.AppendText(p, plain);
          p = plain;
        } else {
          const std::uint32_t c = ReadChar(p);
          if (c & 0xFFFFu) run.AppendUnit(static_cast<Unit>(c));
        }
      }
      if (*p == 0) {
        doc.RecordError(p, message::kElementValue);
        return nullptr;
      }
    }
    // A "<" that does not open a CDATA section.
    if (p[1] == u'/') {
      if (!node.firstChild && !run.Empty()) node.value.assign(run.View());
      return p;
    }
    if (IsNameStart(p[1])) {
      if (!leading) {
        doc.RecordError(p, message::kTextAndChild);
        return nullptr;
      }
      child = NewNode(node.Memory());
      node.AppendChild(child);  // appended before it is parsed: a failed child stays
      return p;
    }
    p = SkipMisc(p, doc);  // a comment, processing instruction or stray "<"
    if (!p) return nullptr;
  }
}

// Elements nest without recursion: `node` is the innermost open element and
// its parent links are the stack of the open ones. A child's start tag is
// read where its parent's content met it; when an element ends, its parent's
// content goes on after it.
const Unit* XmlDocument::ParseElement(XmlNode* node, const Unit* p) {
  XmlNode* const top = node;
  for (;;) {
    bool empty = false;
    bool maybeRaw = false;
    p = ParseStartTag(*node, p, *this, empty, maybeRaw);
    if (!p) return nullptr;
    XmlNode* child = nullptr;
    if (!empty) {
      p = ParseContent(*node, p, *this, run_, child, maybeRaw);
      if (!p) return nullptr;
      if (child) {
        node = child;
        continue;
      }
      p = ReadEndTag(*node, p, *this);
      if (!p) return nullptr;
    }
    // `node` has ended at p; close the enclosing elements that end here too.
    for (;;) {
      if (node == root.get()) return CheckAfterRoot(p, *this);
      if (node == top) return p;
      node = node->parent;
      p = ContinueContent(*node, p, *this, run_, child);
      if (!p) return nullptr;
      if (child) break;
      p = ReadEndTag(*node, p, *this);
      if (!p) return nullptr;
    }
    node = child;
  }
}

}  // namespace xml
