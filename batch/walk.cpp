#include "batch/walk.h"

#include <cstring>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "xml/document.h"

namespace batch {

namespace {

// The directories from the start of the walk down to the current one, so
// that a link back up the tree is not followed round and round.
using WalkPath = std::vector<platform::DirIdentity>;

bool IsOnPath(const WalkPath& path, const platform::DirIdentity& id) {
  for (const auto& p : path) {
    if (p == id) return true;
  }
  return false;
}

int CheckDirectory(std::FILE* out, const char* dir, WalkPath& walkPath) {
  std::string saved;
  const bool haveSaved = platform::GetCurrentDir(saved);
  if (!platform::ChangeDir(dir)) {
    std::fprintf(out, "Can't Change Directory to %s\n", dir);
    return 0;
  }
  auto restore = [&] {
    if (haveSaved) platform::ChangeDir(saved);
  };

  platform::DirIdentity id;
  const bool haveId = platform::GetCurrentDirIdentity(id);
  if (haveId && IsOnPath(walkPath, id)) {  // a link loop: walked already
    restore();
    return 0;
  }
  std::vector<platform::DirEntry> entries;
  if (!platform::ListCurrentDir(entries)) {
    restore();
    return 0;
  }
  std::string fullPath;
  platform::GetCurrentDir(fullPath);  // only for the report lines

  if (haveId) walkPath.push_back(id);
  int count = 0;
  for (const auto& entry : entries) {
    const char* const name = entry.name.c_str();
    if (entry.isDirectory) {
      if (name[0] != '.') count += CheckDirectory(out, name, walkPath);  // ".", "..", .git, .svn
    } else if (HasCheckedExtension(name)) {
      if (!CheckFile(name, out)) {
        std::fprintf(out, "CheckFile:%s\\%s Fail~~\n", fullPath.c_str(), name);
        ++count;
      }
    }
  }
  if (haveId) walkPath.pop_back();
  restore();
  return count;
}

}  // namespace

int CheckDirectory(std::FILE* out, const char* dir) {
  WalkPath walkPath;
  return CheckDirectory(out, dir, walkPath);
}

bool HasCheckedExtension(const char* name) {
  const char* const dot = std::strrchr(name, '.');
  if (!dot) return false;
  return std::strncmp(dot, ".html", 5) == 0 || std::strncmp(dot, ".xml", 4) == 0;
}

bool CheckFile(const char* name, std::FILE* out) {
  xml::XmlDocument doc;
  const bool ok = doc.Load(name);
  if (!ok) std::fprintf(out, "ParseError : %s\n", doc.errorText.c_str());
  return ok;
}

}  // namespace batch
