// The element tree: one XmlNode per element, with its attributes and links.
#pragma once

#include <map>

#include "xml/text.h"

namespace xml {

// ASCII-case-insensitive ordering: "A" to "Z" fold onto "a" to "z", then units
// compare as unsigned 16-bit values; a prefix orders first.
struct CaseInsensitiveLess {
  using is_transparent = void;
  bool operator()(StringView a, StringView b) const {
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
      const Unit x = FoldCase(a[i]);
      const Unit y = FoldCase(b[i]);
      if (x != y) return x < y;
    }
    return a.size() < b.size();
  }
};

// Keys that differ only in ASCII case are one key. The first value added for a
// key stays; later duplicates are ignored.
using AttributeMap = std::map<String, String, CaseInsensitiveLess, ArenaAllocator<std::pair<const String, String>>>;

struct XmlNode {
  String name;
  String value;
  AttributeMap attributes;
  XmlNode* parent = nullptr;       // not owned
  XmlNode* firstChild = nullptr;   // owned, with the chain of its nextSibling links
  XmlNode* lastChild = nullptr;    // not owned
  XmlNode* prevSibling = nullptr;  // not owned
  XmlNode* nextSibling = nullptr;  // owned

  // Strings and attributes take their memory from `arena`, or the heap.
  explicit XmlNode(Arena* arena = nullptr);
  XmlNode(const XmlNode&) = delete;
  XmlNode& operator=(const XmlNode&) = delete;
  // Frees the whole subtree without recursion, however deep or wide it is.
  ~XmlNode();

  Arena* Memory() const { return name.get_allocator().arena; }

  // Links `child` (made by NewNode, now owned by this one) as the last child.
  void AppendChild(XmlNode* child);
  // Adds the attribute unless a key equal to `key` is present.
  void AddAttribute(StringView key, StringView text);
};

// A new node whose own memory, strings and attributes come from `arena`, or
// from the heap. Nodes of one tree share one arena.
XmlNode* NewNode(Arena* arena = nullptr);

// Destroys `node` with its subtree and gives its memory back.
void DeleteNode(XmlNode* node);

// The value of the attribute whose key equals `name`, or null.
const String* FindAttribute(const XmlNode& node, StringView name);

}  // namespace xml
