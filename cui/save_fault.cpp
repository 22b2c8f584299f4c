#include "cui/save_fault.h"

#include <atomic>

namespace vk::cui {
namespace {

// Shared by the package workers, which pack members as steps of a save.
std::atomic<int> stepsToPass{-1};

}  // namespace

void FailSaveStepAfter(int passingSteps) {
  stepsToPass = passingSteps;
}

bool SaveStepFails() {
  int left = stepsToPass.load();
  while (left >= 0) {
    if (stepsToPass.compare_exchange_weak(left, left - 1)) return left == 0;
  }
  return false;
}

}  // namespace vk::cui
