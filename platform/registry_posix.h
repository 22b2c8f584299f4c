// The posix registry's file: the process-wide store is kept in the .reg file
// that VKSTART_REGISTRY names (unset or empty: memory only). It is loaded on
// first use and written back, whole and atomically, after every change.
#pragma once

namespace vk::platform {

// Every change fails with this when the file exists but could not be read, so
// that such a file is never overwritten (reads then see an empty registry).
inline constexpr long kErrorBadDb = 1009;
// A change was made but could not be written to the file.
inline constexpr long kErrorRegistryIoFailed = 1016;

// Forgets the process-wide store; the next call loads VKSTART_REGISTRY
// afresh. Keys that are still open behave as deleted keys.
void ReloadRegistry();

}  // namespace vk::platform
