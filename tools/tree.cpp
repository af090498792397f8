// xmlsweep-tree FILE: loads one file as xmlsweep would and prints the element
// tree the reader built, one JSON object per element in document order:
//   {"depth":D,"name":N,"attributes":[[K,V],...],"value":S}
// Strings are the reader's 16-bit units; every unit outside printable ASCII,
// and '"' and '\', is escaped, so lone surrogates survive. The tree is printed
// after a failure too. Exit status: 0 passed, 1 failed (the error text on
// standard error), 2 wrong usage.
#include <cstdio>
#include <string>

#include "xml/document.h"

namespace {

void AppendJsonString(std::string& out, const xml::String& s) {
  out += '"';
  for (const char16_t u : s) {
    switch (u) {
      case u'"': out += "\\\""; break;
      case u'\\': out += "\\\\"; break;
      case u'\n': out += "\\n"; break;
      case u'\r': out += "\\r"; break;
      case u'\t': out += "\\t"; break;
      default:
        if (u >= 0x20 && u <= 0x7E) {
          out += static_cast<char>(u);
        } else {
          char escape[8];
          std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(u));
          out += escape;
        }
    }
  }
  out += '"';
}

// Pre-order without recursion, so a tree of any depth prints.
void PrintTree(const xml::XmlNode& root, std::FILE* out) {
  std::string line;
  const xml::XmlNode* node = &root;
  long depth = 0;
  while (node) {
    line = "{\"depth\":" + std::to_string(depth) + ",\"name\":";
    AppendJsonString(line, node->name);
    line += ",\"attributes\":[";
    bool first = true;
    for (const auto& [key, value] : node->attributes) {
      if (!first) line += ',';
      first = false;
      line += '[';
      AppendJsonString(line, key);
      line += ',';
      AppendJsonString(line, value);
      line += ']';
    }
    line += "],\"value\":";
    AppendJsonString(line, node->value);
    line += "}\n";
    std::fwrite(line.data(), 1, line.size(), out);

    if (node->firstChild) {
      node = node->firstChild;
      ++depth;
      continue;
    }
    while (node && node != &root && !node->nextSibling) {
      node = node->parent;
      --depth;
    }
    node = node && node != &root ? node->nextSibling : nullptr;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: xmlsweep-tree FILE\n", stderr);
    return 2;
  }
  xml::XmlDocument doc;
  const bool ok = doc.Load(argv[1]);
  PrintTree(*doc.root, stdout);
  if (std::fflush(stdout) != 0) {
    std::fputs("xmlsweep-tree: error writing the tree\n", stderr);
    return 1;
  }
  if (!ok) {
    std::fprintf(stderr, "%s\n", doc.errorText.c_str());
    return 1;
  }
  return 0;
}
