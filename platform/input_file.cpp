// What InputFile does alike on every system: moving the handle and closing
// it on destruction. Opening, reading and closing are per system.
#include "platform/platform.h"

namespace platform {

InputFile::InputFile(InputFile&& other) noexcept : handle_(other.handle_), size_(other.size_) {
  other.handle_ = -1;
}

InputFile& InputFile::operator=(InputFile&& other) noexcept {
  if (this != &other) {
    Close();
    handle_ = other.handle_;
    size_ = other.size_;
    other.handle_ = -1;
  }
  return *this;
}

InputFile::~InputFile() { Close(); }

}  // namespace platform
