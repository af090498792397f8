// The walk over a directory tree and the report of the files that fail.
#pragma once

#include <cstdio>

namespace batch {

// Checks the directory `dir` (relative to the current one, or ".") and
// everything below it; writes failures to `out` and returns their number.
// The current directory is the same on return as on entry.
int CheckDirectory(std::FILE* out, const char* dir);

// Whether a file of this name is checked: its extension (from the last "."
// on) begins with ".xml" or ".html", case-sensitively.
bool HasCheckedExtension(const char* name);

// Loads the file with a fresh document; on failure writes its error line.
bool CheckFile(const char* name, std::FILE* out);

}  // namespace batch
