// The operating system as the reader and the walk see it. Everything that
// differs between systems (directories, files, the 8-bit encoding, the exit
// status) is behind these functions; one source file implements them per
// system (posix.cpp here).
//
// None of these functions prints. Failure is a false or empty result.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace platform {

// ---- Directories -------------------------------------------------------

// The absolute path of the current directory, of any length.
bool GetCurrentDir(std::string& path);

// Changes the current directory; `path` may be relative and of any length.
bool ChangeDir(const std::string& path);

// What tells two directories apart (device and inode on POSIX). Used to
// notice a directory that is already being walked (a link loop).
struct DirIdentity {
  std::uint64_t volume = 0;
  std::uint64_t index = 0;
  bool operator==(const DirIdentity&) const = default;
};
bool GetCurrentDirIdentity(DirIdentity& id);

struct DirEntry {
  std::string name;   // 8-bit name as the system gives it
  bool isDirectory;   // links are followed; a broken link is not a directory
};

// Every entry of the current directory but "." and "..", in the order the
// walk visits them (on POSIX sorted by name in byte order). False when the
// directory cannot be listed.
bool ListCurrentDir(std::vector<DirEntry>& entries);

// ---- Files ---------------------------------------------------------------

// A file opened for reading. Moves, never copies; closes on destruction.
class InputFile {
 public:
  InputFile() = default;
  InputFile(InputFile&& other) noexcept;
  InputFile& operator=(InputFile&& other) noexcept;
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;
  ~InputFile();

  // Opens a regular file without ever blocking (a FIFO or a device is
  // refused) and learns its size.
  bool Open(const char* path);
  std::uint64_t Size() const { return size_; }
  // Reads up to `count` bytes into `buffer`; returns how many were read
  // (fewer when the file shrank). False on a read error.
  bool Read(void* buffer, std::size_t count, std::size_t& got);
  void Close();

 private:
  std::intptr_t handle_ = -1;
  std::uint64_t size_ = 0;
};

// Creates or empties a text file for writing; line ends are the system's.
std::FILE* CreateTextFile(const char* name);

// ---- Memory --------------------------------------------------------------

// A hint that the large buffer [p, p + size) is about to be filled and read
// whole: the system may back it with large pages, which saves most of the
// page faults of a fresh buffer. Does nothing for small buffers.
void AdviseLargeBuffer(void* p, std::size_t size);

// ---- Text ----------------------------------------------------------------

// Converts `count` bytes of text in the system's 8-bit encoding into 16-bit
// units. `out` has room for `count` units, which is always enough. Returns the
// number of units written, or -1 when the system refuses the conversion.
std::ptrdiff_t ConvertFrom8Bit(const unsigned char* bytes, std::size_t count, char16_t* out);

// ---- Process ---------------------------------------------------------------

// The process exit status that reports `total` failures (-1: no report file).
int ExitStatus(int total);

}  // namespace platform
