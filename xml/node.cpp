#include "xml/node.h"

#include <algorithm>
#include <utility>

namespace xml {

bool CaseInsensitiveLess::operator()(const String& a, const String& b) const {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const Unit x = FoldCase(a[i]);
    const Unit y = FoldCase(b[i]);
    if (x != y) return x < y;
  }
  return a.size() < b.size();
}

XmlNode::~XmlNode() {
  // Post-order along the links: descend to a leaf, unlink and free it, go on
  // with its next sibling or, when it was the last, with its parent (now a
  // leaf itself). Every node freed here has no children left, so its own
  // destructor does no work.
  XmlNode* node = firstChild;
  while (node) {
    if (node->firstChild) {
      node = node->firstChild;
      continue;
    }
    XmlNode* const up = node->parent;
    up->firstChild = node->nextSibling;
    delete node;
    if (up->firstChild) {
      node = up->firstChild;
    } else {
      up->lastChild = nullptr;
      node = up == this ? nullptr : up;
    }
  }
}

void XmlNode::AppendChild(XmlNode* child) {
  child->parent = this;
  child->prevSibling = lastChild;
  if (lastChild) {
    lastChild->nextSibling = child;
  } else {
    firstChild = child;
  }
  lastChild = child;
}

void XmlNode::AddAttribute(String key, String text) {
  attributes.try_emplace(std::move(key), std::move(text));
}

const String* FindAttribute(const XmlNode& node, const String& name) {
  const auto it = node.attributes.find(name);
  return it == node.attributes.end() ? nullptr : &it->second;
}

}  // namespace xml
