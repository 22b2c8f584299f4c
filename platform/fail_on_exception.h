// Nothing of ours throws, but the standard library does when memory runs out.
// Each step of the launch runs through this at its boundary, so such an
// exception fails the step the way its other failures do, and the launch goes on.
#pragma once

#include <exception>

namespace vk::platform {

// What `step()` returns, or `failure` when it throws.
template <typename Result, typename Step>
[[nodiscard]] Result FailOnException(Result failure, Step step) noexcept {
  try {
    return step();
  } catch (const std::exception&) {
    return failure;
  }
}

}  // namespace vk::platform
