// The element tree: one XmlNode per element, with its attributes and links.
#pragma once

#include <map>

#include "xml/text.h"

namespace xml {

// ASCII-case-insensitive ordering: "A" to "Z" fold onto "a" to "z", then units
// compare as unsigned 16-bit values; a prefix orders first.
struct CaseInsensitiveLess {
  bool operator()(const String& a, const String& b) const;
};

// Keys that differ only in ASCII case are one key. The first value added for a
// key stays; later duplicates are ignored.
using AttributeMap = std::map<String, String, CaseInsensitiveLess>;

struct XmlNode {
  String name;
  String value;
  AttributeMap attributes;
  XmlNode* parent = nullptr;       // not owned
  XmlNode* firstChild = nullptr;   // owned, with the chain of its nextSibling links
  XmlNode* lastChild = nullptr;    // not owned
  XmlNode* prevSibling = nullptr;  // not owned
  XmlNode* nextSibling = nullptr;  // owned

  XmlNode() = default;
  XmlNode(const XmlNode&) = delete;
  XmlNode& operator=(const XmlNode&) = delete;
  // Frees the whole subtree without recursion, however deep or wide it is.
  ~XmlNode();

  // Links `child` (a fresh node, now owned by this one) as the last child.
  void AppendChild(XmlNode* child);
  // Adds the attribute unless a key equal to `key` is present.
  void AddAttribute(String key, String text);
};

// The value of the attribute whose key equals `name`, or null.
const String* FindAttribute(const XmlNode& node, const String& name);

}  // namespace xml
