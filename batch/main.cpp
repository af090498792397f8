// xmlsweep: checks every .xml and .html file below the current directory and
// writes the failures, then their number, to result.txt.
#include <cstdio>

#include "batch/walk.h"
#include "platform/platform.h"

int main() {
  std::FILE* const out = platform::CreateTextFile("result.txt");
  if (!out) {
    std::fputs("Can't Create Result.TXT", stdout);
    return platform::ExitStatus(-1);
  }
  const int total = batch::CheckDirectory(out, ".");
  std::fprintf(out, "Total %d Files Verification Failed", total);
  // A report that could not be written whole must not pass for a clean run.
  const bool written = !std::ferror(out);
  if (std::fclose(out) != 0 || !written) {
    std::fputs("xmlsweep: error writing result.txt\n", stderr);
    return platform::ExitStatus(-1);
  }
  return platform::ExitStatus(total);
}
