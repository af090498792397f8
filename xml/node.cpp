#include "xml/node.h"

#include <new>
#include <tuple>
#include <utility>

namespace xml {

XmlNode::XmlNode(Arena* arena)
    : name(ArenaAllocator<Unit>(arena)), value(ArenaAllocator<Unit>(arena)), attributes(AttributeMap::allocator_type(arena)) {}

XmlNode* NewNode(Arena* arena) {
  if (!arena) return new XmlNode;
  return ::new (arena->Allocate(sizeof(XmlNode), alignof(XmlNode))) XmlNode(arena);
}

void DeleteNode(XmlNode* node) {
  if (!node->Memory()) {
    delete node;
    return;
  }
  node->~XmlNode();  // its memory goes with the arena
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
    DeleteNode(node);
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

void XmlNode::AddAttribute(StringView key, StringView text) {
  // The entry is made first (key and value in place, with the map's memory)
  // so that the tree is walked once; emplace drops it when the key is there
  // already, and the first value stays.
  attributes.emplace(std::piecewise_construct, std::forward_as_tuple(key), std::forward_as_tuple(text));
}

const String* FindAttribute(const XmlNode& node, StringView name) {
  const auto it = node.attributes.find(name);
  return it == node.attributes.end() ? nullptr : &it->second;
}

}  // namespace xml
