// outline FILE...: loads each file with the xmlsweep reader and prints its
// element tree as an indented outline, one element a line: the name, the
// attributes as key="value" and, after ": ", the text, all in UTF-8. A file
// that fails prints "error: " and the reader's error text instead. Exit
// status 0 when every file is well-formed, 1 otherwise.
#include <cstdio>
#include <string>

#include "xml/document.h"

namespace {

// The reader's 16-bit units as UTF-8; a lone surrogate becomes U+FFFD.
void AppendUtf8(std::string& out, const xml::String& s) {
  for (std::size_t i = 0; i < s.size(); ++i) {
    char32_t c = s[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (s[++i] - 0xDC00);
    } else if (c >= 0xD800 && c < 0xE000) {
      c = 0xFFFD;
    }
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
}

// Visits the elements in document order along the tree's links, so that a
// document of any depth prints without deep recursion.
void PrintOutline(const xml::XmlNode& root) {
  std::string line;
  int depth = 0;
  for (const xml::XmlNode* node = &root; node;) {
    line.assign(2 * depth, ' ');
    AppendUtf8(line, node->name);
    for (const auto& [key, value] : node->attributes) {
      line += ' ';
      AppendUtf8(line, key);
      line += "=\"";
      AppendUtf8(line, value);
      line += '"';
    }
    if (!node->value.empty()) {
      line += ": ";
      AppendUtf8(line, node->value);
    }
    std::puts(line.c_str());

    if (node->firstChild) {
      node = node->firstChild;
      ++depth;
      continue;
    }
    // Up to the nearest element with a next sibling; the root ends the walk.
    while (node != &root && !node->nextSibling) {
      node = node->parent;
      --depth;
    }
    node = node == &root ? nullptr : node->nextSibling;
  }
}

}  // namespace

int main(int argc, char** argv) {
  int status = 0;
  for (int i = 1; i < argc; ++i) {
    std::printf("%s:\n", argv[i]);
    xml::XmlDocument doc;
    if (doc.Load(argv[i])) {
      PrintOutline(*doc.root);
    } else {
      std::printf("error: %s\n", doc.errorText.c_str());
      status = 1;
    }
  }
  return status;
}
