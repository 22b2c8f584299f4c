// Out of memory on demand: the test executable replaces the global operator
// new, so a test can make an allocation fail the way it fails when memory
// runs out, without a real limit (which sanitizers and Wine do not bear).
#pragma once

#include <cstddef>

namespace vk::test {

// While it exists, of the allocations of at least `minimumSize` bytes (on any
// thread, counted together) the first `passing` succeed and the next one
// throws std::bad_alloc; later ones succeed again.
class ScopedAllocationFailure {
 public:
  explicit ScopedAllocationFailure(size_t minimumSize, size_t passing = 0);
  ~ScopedAllocationFailure();
  ScopedAllocationFailure(const ScopedAllocationFailure&) = delete;
  ScopedAllocationFailure& operator=(const ScopedAllocationFailure&) = delete;

  // Whether the failure happened.
  bool failed() const;
};

}  // namespace vk::test
