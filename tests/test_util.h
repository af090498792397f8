// Helpers shared by the tests: documents from strings, UTF-16 files, temporary
// trees and running the real executables.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <type_traits>

#include "xml/document.h"

namespace testutil {

namespace fs = std::filesystem;

// Text as a readable one-line C-style literal, for test names and messages.
template <typename Char>
std::string Printable(const std::basic_string<Char>& text) {
  std::string out = "\"";
  for (const Char c : text) {
    const auto u = static_cast<std::uint32_t>(static_cast<std::make_unsigned_t<Char>>(c));
    if (u >= 0x20 && u < 0x7F && u != '"' && u != '\\') {
      out += static_cast<char>(u);
    } else {
      char escape[12];
      std::snprintf(escape, sizeof escape, u < 0x100 ? "\\x%02x" : "\\u%04x", static_cast<unsigned>(u));
      out += escape;
    }
  }
  return out + "\"";
}

// Runs the reader over `bytes` as Load would after reading a file named
// `name`. Returns "" when the document passes, else the error text.
inline std::string Check(const std::string& bytes, const char* name = "t.xml",
                         xml::XmlDocument* out = nullptr) {
  xml::ByteBuffer buffer = xml::AllocateFileBuffer(bytes.size());
  std::memcpy(buffer.get(), bytes.data(), bytes.size());
  xml::XmlDocument local;
  xml::XmlDocument& doc = out ? *out : local;
  return doc.LoadBytes(std::move(buffer), bytes.size(), name) ? "" : doc.errorText;
}

// `text` (ASCII) as UTF-16 bytes with a byte-order mark, in either order.
inline std::string Utf16(const std::u16string& text, bool bigEndian) {
  std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (const char16_t u : text) {
    const char lo = static_cast<char>(u & 0xFF);
    const char hi = static_cast<char>(u >> 8);
    out += bigEndian ? hi : lo;
    out += bigEndian ? lo : hi;
  }
  return out;
}

inline void WriteFile(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// A fresh directory, removed with everything in it at the end of the test.
class TempDir {
 public:
  TempDir() {
    std::string pattern = (fs::temp_directory_path() / "xmlsweep-test-XXXXXX").string();
    path_ = fs::path(mkdtemp(pattern.data()));
    path_ = fs::canonical(path_);
  }
  ~TempDir() {
    std::error_code ec;
    // Give back any permission a test took away, so everything can go.
    for (auto it = fs::recursive_directory_iterator(path_, fs::directory_options::skip_permission_denied, ec);
         it != fs::recursive_directory_iterator(); it.increment(ec)) {
      if (!it->is_symlink(ec)) fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

// Runs `command` in `dir` through the shell; returns the exit status.
inline int RunIn(const fs::path& dir, const std::string& command) {
  const std::string line = "cd '" + dir.string() + "' && " + command;
  const int status = std::system(line.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace testutil
