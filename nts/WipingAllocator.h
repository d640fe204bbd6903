#pragma once
#include <cstddef>
#include <memory>

#include <mbedtls/platform_util.h>

// Memory for secrets: wiped, in a way the compiler cannot leave out, before
// it goes back to the heap. A container with it wipes every buffer it lets
// go, the old ones it outgrew and those of its copies included.
template <class T>
struct WipingAllocator {
  using value_type = T;

  WipingAllocator() = default;
  template <class U>
  WipingAllocator(const WipingAllocator<U>&) {}

  T* allocate(size_t count) { return std::allocator<T>().allocate(count); }
  void deallocate(T* memory, size_t count) {
    mbedtls_platform_zeroize(memory, count * sizeof(T));
    std::allocator<T>().deallocate(memory, count);
  }

  template <class U>
  bool operator==(const WipingAllocator<U>&) const { return true; }
  template <class U>
  bool operator!=(const WipingAllocator<U>&) const { return false; }
};
