// Helpers shared by the tests: documents from strings, UTF-16 files, temporary
// trees, running the real executables, and what differs between POSIX
// systems and Windows.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

#include "xml/document.h"

namespace testutil {

namespace fs = std::filesystem;

// ---- What differs between the systems --------------------------------------

#ifdef _WIN32
inline constexpr bool kWindows = true;
#else
inline constexpr bool kWindows = false;
#endif

// An expectation that differs by system: the first value on POSIX, the
// second on Windows. The 8-bit encoding is UTF-8 on POSIX and the ANSI code
// page on Windows, which the Windows expectations take to be 1252.
template <typename T>
T ByPlatform(T posix, T windows) {
  return kWindows ? windows : posix;
}

// The line end of files written in text mode (result.txt, standard output).
inline const std::string kLineEnd = kWindows ? "\r\n" : "\n";

// `text` with each "\n" as the system writes it in text mode.
inline std::string TextLines(const std::string& text) {
  std::string out;
  for (const char c : text) {
    if (c == '\n') {
      out += kLineEnd;
    } else {
      out += c;
    }
  }
  return out;
}

// The exit status of xmlsweep for `total` failures (-1: no report). POSIX
// has 8 bits of it, so the total is clamped below 255 there.
inline int ExitStatusFor(int total) {
  if (kWindows) return total;
  if (total < 0) return 255;
  return total > 254 ? 254 : total;
}

// A report as the tests compare it. The walk visits a directory's entries in
// the order the system lists them: by name on POSIX, so the report is taken
// as it is; in whatever order FindNextFile yields them on Windows, so there
// the entries (a "ParseError" line with the "CheckFile" line after it, or
// one line of its own) are sorted, and only their order may differ.
inline std::string Comparable(const std::string& report) {
  if (!kWindows) return report;
  std::vector<std::string> entries;
  bool open = false;  // the last entry is a "ParseError" line without its "CheckFile" line
  std::size_t start = 0;
  std::size_t end;
  while ((end = report.find(kLineEnd, start)) != std::string::npos) {
    const std::string line = report.substr(start, end + kLineEnd.size() - start);
    start = end + kLineEnd.size();
    if (open && line.rfind("CheckFile:", 0) == 0) {
      entries.back() += line;
      open = false;
    } else {
      entries.push_back(line);
      open = line.rfind("ParseError : ", 0) == 0;
    }
  }
  std::sort(entries.begin(), entries.end());
  std::string out;
  for (const auto& e : entries) out += e;
  return out + report.substr(start);  // the total
}

// The report that `text` (with "\n" line ends) stands for, as Comparable.
inline std::string Report(const std::string& text) { return Comparable(TextLines(text)); }

// A path the build gave the tests (an executable, the sample tree), absolute
// on this system: under Wine the build's POSIX paths lie on the drive of the
// current directory, which is the build tree's when the tests start.
inline std::string BuiltPath(const char* path) { return fs::absolute(path).make_preferred().string(); }

// ---- Documents and files ---------------------------------------------------

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
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
      const fs::path p = fs::temp_directory_path() / ("xmlsweep-test-" + std::to_string(random()));
      if (fs::create_directory(p)) {  // false: the name is taken
        path_ = fs::canonical(p);
        return;
      }
    }
    throw std::runtime_error("no fresh temporary directory");
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

// Runs `command` in `dir` through the shell (cmd.exe on Windows); returns
// the exit status.
inline int RunIn(const fs::path& dir, const std::string& command) {
#ifdef _WIN32
  // cmd's exit code is the command's, all 32 bits of it; "/d" changes the drive too.
  const std::string line = "cd /d \"" + dir.string() + "\" && " + command;
  return std::system(line.c_str());
#else
  const std::string line = "cd '" + dir.string() + "' && " + command;
  const int status = std::system(line.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
}

}  // namespace testutil
