// A registry that programs started by a test share with it: on Windows the
// real one; on posix a .reg file in a fresh folder, named to child processes
// through VKSTART_REGISTRY for the length of the test.
#pragma once

#include <memory>

namespace vk::test {

class ScopedSharedRegistry {
 public:
  ScopedSharedRegistry();
  ~ScopedSharedRegistry();
  ScopedSharedRegistry(const ScopedSharedRegistry&) = delete;
  ScopedSharedRegistry& operator=(const ScopedSharedRegistry&) = delete;

  // Sees what a child process wrote (posix: reads the file afresh).
  void Refresh();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace vk::test
