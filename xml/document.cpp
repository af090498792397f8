#include "xml/document.h"

#include <bit>
#include <cassert>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <utility>

#include "platform/platform.h"
#include "xml/parser.h"
#include "xml/scan.h"

namespace xml {

// UTF-16 files are parsed in place, reading byte pairs as units low byte first.
static_assert(std::endian::native == std::endian::little, "the in-place UTF-16 path assumes a little-endian host");

static_assert(kBufferPadding >= kTextPadding, "the UTF-16 text is parsed in the file buffer");

ByteBuffer AllocateFileBuffer(std::size_t size) {
  if (size > SIZE_MAX - kBufferPadding) return nullptr;
  ByteBuffer buffer(static_cast<unsigned char*>(std::malloc(size + kBufferPadding)));
  if (buffer) platform::AdviseLargeBuffer(buffer.get(), size + kBufferPadding);
  return buffer;
}

XmlDocument::XmlDocument() : root(std::make_unique<XmlNode>(&arena_)) {}

XmlDocument::~XmlDocument() { DropTree(); }

// The nodes below the root are not destroyed one by one: all their memory,
// and all their strings' and attributes', is in the arena.
void XmlDocument::DropTree() {
  root->firstChild = nullptr;
  root->lastChild = nullptr;
  root.reset();
  arena_.Release();
}

void XmlDocument::Reset() {
  DropTree();
  root = std::make_unique<XmlNode>(&arena_);
  errorText.clear();
  errorPos = nullptr;
  errorMessage = nullptr;
}

void XmlDocument::RecordError(const Unit* p, const char* message) {
  assert(errorPos == nullptr && "one error per parse");
  errorPos = p;
  errorMessage = message;
}

bool XmlDocument::Load(const char* path) {
  Reset();
  platform::InputFile file;
  if (!file.Open(path)) {
    errorText = std::string("can not open file ") + path;
    return false;
  }
  const std::uint64_t size = file.Size();
  if (size > SIZE_MAX) return false;
  ByteBuffer bytes = AllocateFileBuffer(static_cast<std::size_t>(size));
  if (!bytes) return false;
  std::size_t got = 0;
  if (!file.Read(bytes.get(), static_cast<std::size_t>(size), got)) {
    errorText = std::string("can not open file ") + path;
    return false;
  }
  file.Close();
  return Decode(std::move(bytes), got, path);
}

bool XmlDocument::LoadBytes(ByteBuffer bytes, std::size_t size, const char* path) {
  Reset();
  return Decode(std::move(bytes), size, path);
}

bool XmlDocument::Decode(ByteBuffer bytes, std::size_t size, const char* path) {
  std::memset(bytes.get() + size, 0, kBufferPadding);
  if (IsDeclaredUtf16(bytes.get(), size)) {
    Unit* const text = reinterpret_cast<Unit*>(bytes.get());
    text[size / 2] = 0;  // an odd trailing byte is dropped; the padding stays zero
    SwapBytes(text);
    text[0] = u' ';      // the byte-order mark reads as one blank column
    isUnicode = 1;
    return ParseText(text, path);
  }
  // 8-bit text: the data and its zero byte become at most size + 1 units.
  if (size > (SIZE_MAX - kTextPadding) / 2 - 1) return false;
  std::unique_ptr<Unit, FreeDeleter> text(static_cast<Unit*>(std::malloc(2 * size + 2 + kTextPadding)));
  if (!text) return false;
  platform::AdviseLargeBuffer(text.get(), 2 * size + 2 + kTextPadding);
  const std::ptrdiff_t units = platform::ConvertFrom8Bit(bytes.get(), size + 1, text.get());
  if (units <= 0 || text.get()[units - 1] != 0) return false;
  std::memset(text.get() + units, 0, kTextPadding);
  bytes.reset();
  isUnicode = 0;
  return ParseText(text.get(), path);
}

bool XmlDocument::ParseText(const Unit* text, const char* path) {
  const Unit* const p = SkipWhitespace(text);
  if (*p == 0) {
    RecordError(p, message::kDocumentIsEmpty);
  } else {
    const Unit* const end = ParseElement(root.get(), p);
    // Null exactly when an error was recorded; after the root only the end.
    assert((end == nullptr) == (errorPos != nullptr));
    assert(!end || *end == 0);
    static_cast<void>(end);
  }
  if (!errorPos) {
    if (inspectText) inspectText(*this, text);
    return true;
  }

  // Line and column of the error: a line feed starts a new line, every other
  // unit (carriage return and tab too) is one column.
  std::int64_t line = 1;
  std::int64_t column = 1;
  for (const Unit* u = text; u != errorPos; ++u) {
    if (*u == u'\n') {
      ++line;
      column = 1;
    } else {
      ++column;
    }
  }
  char where[64];
  std::snprintf(where, sizeof where, " Line:%" PRId64 ", Col:%" PRId64 " ", line, column);
  errorText = std::string(path) + where + errorMessage;
  if (inspectText) inspectText(*this, text);
  return false;
}

bool IsDeclaredUtf16(const unsigned char* bytes, std::size_t size) {
  if (size < 2) return false;
  const bool little = bytes[0] == 0xFF && bytes[1] == 0xFE;
  const bool big = bytes[0] == 0xFE && bytes[1] == 0xFF;
  if (!little && !big) return false;

  // The mark and at most 126 more whole units, up to a zero unit.
  constexpr std::size_t kWindow = 127;
  Unit window[kWindow];
  std::size_t count = 0;
  const std::size_t available = size / 2;
  while (count < kWindow && count < available) {
    const unsigned char lo = bytes[2 * count];
    const unsigned char hi = bytes[2 * count + 1];
    const Unit u = big ? static_cast<Unit>(lo << 8 | hi) : static_cast<Unit>(hi << 8 | lo);
    if (u == 0) break;
    window[count++] = u;
  }
  static constexpr Unit kLower[] = u"\"utf-16\"";
  static constexpr Unit kUpper[] = u"\"UTF-16\"";
  constexpr std::size_t kLength = 8;
  for (std::size_t i = 1; i + kLength <= count; ++i) {
    if (std::memcmp(window + i, kLower, kLength * sizeof(Unit)) == 0 ||
        std::memcmp(window + i, kUpper, kLength * sizeof(Unit)) == 0) {
      return true;
    }
  }
  return false;
}

void SwapBytes(Unit* text) {
  if (text[0] != 0xFFFE) return;
  for (Unit* u = text + 1; *u; ++u) *u = static_cast<Unit>(*u << 8 | *u >> 8);
}

}  // namespace xml
