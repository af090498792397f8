// The reader's public object: load a file, get its element tree or the text
// of the first error.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <memory>
#include <string>

#include "xml/node.h"
#include "xml/text.h"

namespace xml {

// The fixed error messages, byte for byte.
namespace message {
inline constexpr char kDocumentIsEmpty[] = "Document is empty";
inline constexpr char kLessThanExpected[] = "'<' expected";
inline constexpr char kElementName[] = "Error reading element name";
inline constexpr char kAttributes[] = "Error reading attributes";
inline constexpr char kEmptyTag[] = "Error parsing empty tag";
inline constexpr char kEndTag[] = "Error reading end tag";
inline constexpr char kGarbageAfterRoot[] = "garbage after root element";
inline constexpr char kAttributeName[] = "Error reading attributes name";
inline constexpr char kExpectingEquals[] = "Error reading attributes, expecting '='";
inline constexpr char kExpectingQuotation[] = "Error reading attributes value, expecting quotation";
inline constexpr char kUnclosedMarkup[] = "Could not find > while skipping data";
inline constexpr char kElementValue[] = "Error reading element value";
inline constexpr char kCdataNotClosed[] = "Error reading element value, CDATA close-tag is not found";
inline constexpr char kTextAndChild[] = "Error reading element value, both cdata and child element exist";
}  // namespace message

struct FreeDeleter {
  void operator()(void* p) const { std::free(p); }
};
// A malloc'ed byte buffer: a file's data and kBufferPadding bytes more.
using ByteBuffer = std::unique_ptr<unsigned char, FreeDeleter>;
inline constexpr std::size_t kBufferPadding = 32;

// A buffer for `size` bytes of file data, or null when memory is short.
ByteBuffer AllocateFileBuffer(std::size_t size);

struct XmlDocument {
 private:
  // Every node, string and attribute of the tree lives here; dropping the
  // tree releases it whole instead of node by node. Declared first so that it
  // outlives the tree.
  Arena arena_;

 public:
  std::unique_ptr<XmlNode> root;  // replaced by a fresh node at each load
  std::string errorText;          // why the last load failed; may be empty
  const Unit* errorPos = nullptr; // where parsing failed; only tested, never followed after a load
  const char* errorMessage = nullptr;
  int isUnicode = 0;              // 1: the last file was read as UTF-16

  // For the fuzzer and tests only: when set, called at the end of every parse
  // (after errorText is formatted) with the zero-terminated text, which exists
  // only during the call, so that errorPos can be checked against it.
  void (*inspectText)(const XmlDocument& doc, const Unit* text) = nullptr;

  XmlDocument();
  ~XmlDocument();
  XmlDocument(const XmlDocument&) = delete;
  XmlDocument& operator=(const XmlDocument&) = delete;

  // Reads and parses the file at `path`. True when it is well-formed; false
  // with `errorText` set, or empty when memory or the 8-bit conversion failed.
  bool Load(const char* path);

  // Everything Load does after reading the file: `bytes` (from
  // AllocateFileBuffer) holds `size` bytes of data. `path` only names the file
  // in the error text.
  bool LoadBytes(ByteBuffer bytes, std::size_t size, const char* path);

  // Parses the element at `p` (leading markup first) into `node`, with all
  // its content. Returns the position after the element's end, for the root
  // after the markup that may follow it; null after recording an error.
  const Unit* ParseElement(XmlNode* node, const Unit* p);

  // Records the one error of this parse.
  void RecordError(const Unit* p, const char* message);

 private:
  void Reset();
  void DropTree();
  bool Decode(ByteBuffer bytes, std::size_t size, const char* path);
  bool ParseText(const Unit* text, const char* path);
  std::u16string run_;  // the content parser's text run, reused so it keeps its capacity
};

// Whether the file is UTF-16: a byte-order mark, then "utf-16" or "UTF-16" in
// double quotes within the first 127 units.
bool IsDeclaredUtf16(const unsigned char* bytes, std::size_t size);

// Turns big-endian text (first unit 0xFFFE) into the host's order, in place,
// up to the first zero unit.
void SwapBytes(Unit* text);

}  // namespace xml
