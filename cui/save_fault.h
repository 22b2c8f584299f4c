// A seam for tests of the save path: every step of a save that can fail
// (scratch files, packing each member on a worker, opening the new file, each
// member's write, the close, the replacement of the target) asks here first,
// and fails when a test armed it.
#pragma once

namespace vk::cui {

// Lets `passingSteps` further save steps pass and makes the next one fail,
// once; a negative count disarms.
void FailSaveStepAfter(int passingSteps);

// True when this is the step that a test armed to fail.
[[nodiscard]] bool SaveStepFails();

}  // namespace vk::cui
