// Memory for a document's tree: handed out in order from growing blocks and
// given back all at once, so that building a tree costs a few instructions
// per allocation and freeing it costs nothing per node.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>

namespace xml {

class Arena {
 public:
  Arena() = default;
  Arena(const Arena&) = delete;
  Arena& operator=(const Arena&) = delete;
  ~Arena() { Release(); }

  void* Allocate(std::size_t bytes, std::size_t align) {
    const std::uintptr_t at = (next_ + (align - 1)) & ~static_cast<std::uintptr_t>(align - 1);
    if (at < next_ || at > end_ || bytes > end_ - at) return Grow(bytes, align);
    next_ = at + bytes;
    return reinterpret_cast<void*>(at);
  }

  // Frees every block: everything allocated here is gone.
  void Release();

 private:
  void* Grow(std::size_t bytes, std::size_t align);
  struct Block {
    Block* next;
  };
  Block* blocks_ = nullptr;
  std::uintptr_t next_ = 0;
  std::uintptr_t end_ = 0;
  std::size_t blockSize_ = 4096;
};

// An allocator that takes its memory from an arena, or from the heap when it
// has none. Memory from an arena is given back only by releasing the arena.
// Elements of containers using it are made with the same allocator.
template <typename T>
struct ArenaAllocator {
  using value_type = T;
  using is_always_equal = std::false_type;

  Arena* arena = nullptr;

  ArenaAllocator() = default;
  explicit ArenaAllocator(Arena* a) : arena(a) {}
  template <typename U>
  ArenaAllocator(const ArenaAllocator<U>& other) : arena(other.arena) {}  // NOLINT: rebinding is implicit

  T* allocate(std::size_t n) {
    if (arena) return static_cast<T*>(arena->Allocate(n * sizeof(T), alignof(T)));
    return static_cast<T*>(::operator new(n * sizeof(T)));
  }
  void deallocate(T* p, std::size_t) {
    if (!arena) ::operator delete(p);
  }
  template <typename U, typename... Args>
  void construct(U* p, Args&&... args) {
    std::uninitialized_construct_using_allocator(p, *this, std::forward<Args>(args)...);
  }
  template <typename U>
  bool operator==(const ArenaAllocator<U>& other) const {
    return arena == other.arena;
  }
};

}  // namespace xml
