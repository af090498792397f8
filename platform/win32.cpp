// The platform layer on Windows: the ANSI ("A") functions of the Win32 API,
// the C runtime's fopen, and the system's ANSI code page.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <io.h>

#include <algorithm>
#include <climits>
#include <cstring>

#include "platform/platform.h"

namespace platform {

namespace {

std::FILE* AsFile(std::intptr_t handle) { return reinterpret_cast<std::FILE*>(handle); }

}  // namespace

// GetCurrentDirectoryA tells the size it needs (terminator included) when the
// buffer is too small; ask again with that size until the path fits.
bool GetCurrentDir(std::string& path) {
  DWORD size = GetCurrentDirectoryA(0, nullptr);
  while (size != 0) {
    path.resize(size);
    const DWORD got = GetCurrentDirectoryA(size, path.data());
    if (got == 0) break;
    if (got < size) {
      path.resize(got);
      return true;
    }
    size = got;
  }
  path.clear();
  return false;
}

// A directory is entered only when its path can be read back afterwards:
// the walk restores every directory by that path, and the ANSI functions
// cannot return a path longer than the system's limit (under Wine,
// SetCurrentDirectoryA goes deeper than GetCurrentDirectoryA can report).
bool ChangeDir(const std::string& path) {
  std::string before;
  const bool haveBefore = GetCurrentDir(before);
  if (!SetCurrentDirectoryA(path.c_str())) return false;
  std::string after;
  if (GetCurrentDir(after)) return true;
  if (haveBefore) SetCurrentDirectoryA(before.c_str());
  return false;
}

// The volume serial number and the file index, as the system reports them
// for an open handle; the directory is opened only to ask (backup semantics
// is what lets CreateFile open a directory at all).
bool GetCurrentDirIdentity(DirIdentity& id) {
  const HANDLE dir = CreateFileA(".", FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (dir == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION info;
  const bool ok = GetFileInformationByHandle(dir, &info) != 0;
  CloseHandle(dir);
  if (!ok) return false;
  id.volume = info.dwVolumeSerialNumber;
  id.index = static_cast<std::uint64_t>(info.nFileIndexHigh) << 32 | info.nFileIndexLow;
  return true;
}

// The entries in the order FindNextFileA yields them; nothing is sorted.
// "*.*" matches every name, with or without a dot.
bool ListCurrentDir(std::vector<DirEntry>& entries) {
  entries.clear();
  WIN32_FIND_DATAA data;
  const HANDLE find = FindFirstFileA("*.*", &data);
  if (find == INVALID_HANDLE_VALUE) {
    return GetLastError() == ERROR_FILE_NOT_FOUND;  // an empty drive root has no "." either
  }
  do {
    const char* const name = data.cFileName;
    if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
    entries.push_back({name, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
  } while (FindNextFileA(find, &data));
  FindClose(find);
  return true;
}

void InputFile::Close() {
  if (handle_ != -1) std::fclose(AsFile(handle_));
  handle_ = -1;
}

bool InputFile::Open(const char* path) {
  Close();
  std::FILE* const file = std::fopen(path, "rb");
  if (!file) return false;
  // fopen also opens devices (NUL, CON, COM1, also as "nul.xml") and pipes;
  // only a file on disk is read, so that nothing waits for input. Opening a
  // directory fails in fopen already.
  const HANDLE h = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
  std::int64_t end = -1;
  if (GetFileType(h) == FILE_TYPE_DISK && _fseeki64(file, 0, SEEK_END) == 0) end = _ftelli64(file);
  if (end < 0 || _fseeki64(file, 0, SEEK_SET) != 0) {
    std::fclose(file);
    return false;
  }
  handle_ = reinterpret_cast<std::intptr_t>(file);
  size_ = static_cast<std::uint64_t>(end);
  return true;
}

bool InputFile::Read(void* buffer, std::size_t count, std::size_t& got) {
  got = 0;
  auto* out = static_cast<unsigned char*>(buffer);
  while (got < count) {
    const std::size_t chunk = std::min<std::size_t>(count - got, std::size_t{1} << 30);
    const std::size_t n = std::fread(out + got, 1, chunk, AsFile(handle_));
    got += n;
    if (n < chunk) return !std::ferror(AsFile(handle_));  // the end, or the file shrank
  }
  return true;
}

// Text mode: every "\n" is written as CR LF.
std::FILE* CreateTextFile(const char* name) { return std::fopen(name, "wt"); }

// MultiByteToWideChar with the ANSI code page and no flags: bytes that the
// code page does not define become what the system maps them to, never an
// error. Its lengths are ints: text of 2 GiB and more is refused, as is
// anything else the system refuses.
std::ptrdiff_t ConvertFrom8Bit(const unsigned char* bytes, std::size_t count, char16_t* out) {
  static_assert(sizeof(wchar_t) == sizeof(char16_t), "wide characters are UTF-16 units on Windows");
  if (count == 0) return 0;
  if (count > static_cast<std::size_t>(INT_MAX)) return -1;
  const int length = static_cast<int>(count);
  const int units = MultiByteToWideChar(CP_ACP, 0, reinterpret_cast<const char*>(bytes), length,
                                        reinterpret_cast<wchar_t*>(out), length);
  return units > 0 ? units : -1;
}

// Nothing to do here: large pages on Windows need a privilege that a checker
// should not ask for.
void AdviseLargeBuffer(void*, std::size_t) {}

// The exit status is 32 bits wide here: the exact total, and -1 as it is.
int ExitStatus(int total) { return total; }

}  // namespace platform
