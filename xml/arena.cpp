#include "xml/arena.h"

#include <algorithm>
#include <cstdlib>

#include "platform/platform.h"

namespace xml {

namespace {
// Blocks double up to this size; the large ones may get large pages.
constexpr std::size_t kLargestBlock = std::size_t{64} << 20;
}

void* Arena::Grow(std::size_t bytes, std::size_t align) {
  const std::size_t header = (sizeof(Block) + alignof(std::max_align_t) - 1) & ~(alignof(std::max_align_t) - 1);
  if (bytes > SIZE_MAX - header - align) throw std::bad_alloc();
  const std::size_t need = header + bytes + align;
  // Something large gets a block of its own; the current block stays in use.
  const bool own = need > blockSize_ / 2;
  const std::size_t size = own ? need : blockSize_;
  auto* block = static_cast<Block*>(std::malloc(size));
  if (!block) throw std::bad_alloc();
  platform::AdviseLargeBuffer(block, size);
  block->next = blocks_;
  blocks_ = block;
  const auto begin = reinterpret_cast<std::uintptr_t>(block) + header;
  const std::uintptr_t at = (begin + (align - 1)) & ~static_cast<std::uintptr_t>(align - 1);
  if (own) return reinterpret_cast<void*>(at);
  blockSize_ = std::min(blockSize_ * 2, kLargestBlock);
  next_ = at + bytes;
  end_ = reinterpret_cast<std::uintptr_t>(block) + size;
  return reinterpret_cast<void*>(at);
}

void Arena::Release() {
  while (blocks_) {
    Block* const next = blocks_->next;
    std::free(blocks_);
    blocks_ = next;
  }
  next_ = end_ = 0;
  blockSize_ = 4096;
}

}  // namespace xml
