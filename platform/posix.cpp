// The platform layer on POSIX systems.
#include "platform/platform.h"
#include "platform/utf8.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

namespace platform {

bool GetCurrentDir(std::string& path) {
  // getcwd with a null buffer allocates what the path needs, also beyond
  // PATH_MAX (the C library then climbs the tree itself).
  std::unique_ptr<char, decltype(&std::free)> cwd(getcwd(nullptr, 0), &std::free);
  if (!cwd) return false;
  path = cwd.get();
  return true;
}

bool ChangeDir(const std::string& path) {
  if (chdir(path.c_str()) == 0) return true;
  if (errno != ENAMETOOLONG) return false;
  // Too long for one call: go there a piece at a time, each piece ending at
  // a "/" and short enough for the kernel.
  std::size_t start = 0;
  if (path[0] == '/') {
    if (chdir("/") != 0) return false;
    start = 1;
  }
  constexpr std::size_t kPiece = 2048;
  while (start < path.size()) {
    std::size_t end = path.size();
    if (end - start > kPiece) {
      end = path.rfind('/', start + kPiece);
      if (end == std::string::npos || end < start) return false;  // one name over the limit
    }
    const std::string piece = path.substr(start, end - start);
    if (!piece.empty() && chdir(piece.c_str()) != 0) return false;
    start = end + 1;
  }
  return true;
}

bool GetCurrentDirIdentity(DirIdentity& id) {
  struct stat st;
  if (stat(".", &st) != 0) return false;
  id.volume = static_cast<std::uint64_t>(st.st_dev);
  id.index = static_cast<std::uint64_t>(st.st_ino);
  return true;
}

bool ListCurrentDir(std::vector<DirEntry>& entries) {
  entries.clear();
  struct DirCloser {
    void operator()(DIR* d) const { closedir(d); }
  };
  std::unique_ptr<DIR, DirCloser> dir(opendir("."));
  if (!dir) return false;
  while (const dirent* e = readdir(dir.get())) {
    const char* name = e->d_name;
    if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
    bool isDirectory = false;
#ifdef _DIRENT_HAVE_D_TYPE
    if (e->d_type == DT_DIR) {
      isDirectory = true;
    } else if (e->d_type == DT_LNK || e->d_type == DT_UNKNOWN) {
      struct stat st;  // follows links; a broken link stays a file
      isDirectory = stat(name, &st) == 0 && S_ISDIR(st.st_mode);
    }
#else
    struct stat st;
    isDirectory = stat(name, &st) == 0 && S_ISDIR(st.st_mode);
#endif
    entries.push_back({name, isDirectory});
  }
  std::sort(entries.begin(), entries.end(), [](const DirEntry& a, const DirEntry& b) {
    return std::strcmp(a.name.c_str(), b.name.c_str()) < 0;
  });
  return true;
}

void InputFile::Close() {
  if (handle_ >= 0) close(static_cast<int>(handle_));
  handle_ = -1;
}

bool InputFile::Open(const char* path) {
  Close();
  // O_NONBLOCK: opening a FIFO must not wait for a writer; it is refused below.
  const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return false;
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    return false;
  }
  // O_NONBLOCK stays: it has no effect on reading a regular file.
  handle_ = fd;
  size_ = static_cast<std::uint64_t>(st.st_size);
  return true;
}

bool InputFile::Read(void* buffer, std::size_t count, std::size_t& got) {
  got = 0;
  auto* out = static_cast<unsigned char*>(buffer);
  while (got < count) {
    // One read call moves at most about 2 GiB on Linux; loop for the rest.
    const std::size_t chunk = std::min<std::size_t>(count - got, std::size_t{1} << 30);
    const ssize_t n = read(static_cast<int>(handle_), out + got, chunk);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) break;  // the file shrank since its size was taken
    got += static_cast<std::size_t>(n);
  }
  return true;
}

std::FILE* CreateTextFile(const char* name) { return std::fopen(name, "w"); }

void AdviseLargeBuffer(void* p, std::size_t size) {
#ifdef MADV_HUGEPAGE
  // Transparent huge pages of 2 MiB, for the whole ones inside the buffer.
  constexpr std::uintptr_t kHuge = std::uintptr_t{2} << 20;
  if (size < 2 * kHuge) return;
  const auto begin = (reinterpret_cast<std::uintptr_t>(p) + kHuge - 1) & ~(kHuge - 1);
  const auto end = (reinterpret_cast<std::uintptr_t>(p) + size) & ~(kHuge - 1);
  if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
  (void)p;
  (void)size;
#endif
}

// The 8-bit encoding here is UTF-8, always.
std::ptrdiff_t ConvertFrom8Bit(const unsigned char* bytes, std::size_t count, char16_t* out) {
  return DecodeUtf8(bytes, count, out);
}

// The status is 8 bits wide here: a total of 256 would read as success.
int ExitStatus(int total) {
  if (total < 0) return 255;
  return total > 254 ? 254 : total;
}

}  // namespace platform
