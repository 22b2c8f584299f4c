#include "cui/save_fault.h"

namespace vk::cui {
namespace {

int stepsToPass = -1;

}  // namespace

void FailSaveStepAfter(int passingSteps) {
  stepsToPass = passingSteps;
}

bool SaveStepFails() {
  if (stepsToPass < 0) return false;
  return stepsToPass-- == 0;
}

}  // namespace vk::cui
