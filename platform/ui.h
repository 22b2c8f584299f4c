// What every window of the launcher shares with the system's window manager.
#pragma once

namespace vk::platform {

// Whether key messages also produce their character messages.
enum class KeyTranslation { kTranslate, kNone };

// Dispatches the window messages waiting for this thread, without blocking
// (posix: nothing to dispatch).
void DispatchPendingMessages(KeyTranslation translation = KeyTranslation::kTranslate);

// Takes this thread's topmost windows out of the topmost band, without
// activating them, so that a box without an owner opens above them.
void LeaveTopmostBand();

}  // namespace vk::platform
