#include "tests/support/allocation_fault.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<bool> armed{false};
std::atomic<size_t> minimum{0};
std::atomic<size_t> passingLeft{0};
std::atomic<bool> happened{false};

// True for the allocation that is to fail. The count is shared by every
// thread, so that a failure can strike a worker as well as the caller, and
// exactly one allocation fails however the threads interleave.
bool FailsNow() {
  size_t left = passingLeft.load();
  while (left > 0) {
    if (passingLeft.compare_exchange_weak(left, left - 1)) return false;
  }
  if (!armed.exchange(false)) return false;
  happened = true;
  return true;
}

void* Allocate(size_t size) {
  if (armed.load(std::memory_order_relaxed) && size >= minimum.load(std::memory_order_relaxed) &&
      FailsNow()) {
    throw std::bad_alloc();
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
// The library's temporary buffers (std::stable_sort's, for one) come from the
// non-throwing forms; they fail by giving none, and must meet the same delete.
void* operator new(size_t size, const std::nothrow_t&) noexcept {
  try {
    return Allocate(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
void* operator new[](size_t size, const std::nothrow_t& tag) noexcept {
  return operator new(size, tag);
}
void operator delete(void* block, const std::nothrow_t&) noexcept {
  std::free(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept {
  std::free(block);
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
