// A well-formedness checker built on pugixml, as a peer for the benchmark.
// Arguments are files, or directories walked recursively for *.xml and
// *.html. Prints each failure; the exit status is the number of failures
// (at most 254).
#include <filesystem>
#include <iostream>
#include <string>

#include <pugixml.hpp>

namespace {

int failures = 0;

void CheckFile(const std::filesystem::path& path) {
  pugi::xml_document doc;
  const pugi::xml_parse_result result = doc.load_file(path.c_str(), pugi::parse_default, pugi::encoding_auto);
  if (!result) {
    ++failures;
    std::cout << path.string() << ": " << result.description() << " at offset " << result.offset << '\n';
  }
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path arg = argv[i];
    if (std::filesystem::is_directory(arg)) {
      for (const auto& e : std::filesystem::recursive_directory_iterator(arg)) {
        const std::string ext = e.path().extension().string();
        if (e.is_regular_file() && (ext.rfind(".xml", 0) == 0 || ext.rfind(".html", 0) == 0)) CheckFile(e.path());
      }
    } else {
      CheckFile(arg);
    }
  }
  return failures > 254 ? 254 : failures;
}
