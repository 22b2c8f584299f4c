#include "tests/support/allocation_fault.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<bool> armed{false};
std::atomic<size_t> minimum{0};
std::atomic<size_t> passingLeft{0};
std::atomic<bool> happened{false};

void* Allocate(size_t size) {
  if (armed.load(std::memory_order_relaxed) && size >= minimum.load(std::memory_order_relaxed)) {
    if (passingLeft.load(std::memory_order_relaxed) == 0) {
      armed = false;
      happened = true;
      throw std::bad_alloc();
    }
    passingLeft.fetch_sub(1, std::memory_order_relaxed);
  }
  if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
  throw std::bad_alloc();
}

}  // namespace

void* operator new(size_t size) {
  return Allocate(size);
}
void* operator new[](size_t size) {
  return Allocate(size);
}
void operator delete(void* block) noexcept {
  std::free(block);
}
void operator delete[](void* block) noexcept {
  std::free(block);
}
void operator delete(void* block, size_t) noexcept {
  std::free(block);
}
void operator delete[](void* block, size_t) noexcept {
  std::free(block);
}

namespace vk::test {

ScopedAllocationFailure::ScopedAllocationFailure(size_t minimumSize, size_t passing) {
  happened = false;
  minimum = minimumSize;
  passingLeft = passing;
  armed = true;
}

ScopedAllocationFailure::~ScopedAllocationFailure() {
  armed = false;
}

bool ScopedAllocationFailure::failed() const {
  return happened;
}

}  // namespace vk::test
