// What every window of the launcher shares with the system's window manager.
#pragma once

namespace vk::platform {

// Dispatches the window messages waiting for this thread, without blocking
// (posix: nothing to dispatch).
void DispatchPendingMessages();

// Takes this thread's topmost windows out of the topmost band, without
// activating them, so that a box without an owner opens above them.
void LeaveTopmostBand();

}  // namespace vk::platform
