// Starting programs by a Windows command line, and waiting on them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vk::platform {

// What CreateProcessW reports (posix: the child's pid, no handles). The
// handles stay open for the life of the launcher.
struct ProcessInformation {
  void* process = nullptr;
  void* thread = nullptr;
  uint32_t processId = 0;
  uint32_t threadId = 0;
};

// The run-time library's errno of an existence test of `path`, 0 when it
// exists.
[[nodiscard]] int AccessError(std::u16string_view path);

// The current directory when it fits a buffer of `capacity` characters with
// its terminating zero; nullopt when it is longer or cannot be read.
[[nodiscard]] std::optional<std::u16string> CurrentDirectory(size_t capacity);

// Starts the program that the command line names, with its window shown and
// the launcher's environment, in `workingDirectory` (nullopt: the launcher's
// own). Returns 0 or the system error code. Posix: the line is split by the
// Windows rules into the argument vector and the program's path is mapped.
[[nodiscard]] long StartProcess(std::u16string_view commandLine,
                                const std::optional<std::u16string>& workingDirectory,
                                ProcessInformation* info);

// Waits until the process waits for user input, at most `timeoutMs`, in
// short slices with this thread's pending window messages dispatched between
// them (posix: a process has no input-idle state; returns at once).
void WaitUntilIdle(const ProcessInformation& info, uint32_t timeoutMs);

// Waits for the process to end, at most `timeoutMs`; false on timeout, else
// true with its exit code.
[[nodiscard]] bool WaitForExit(const ProcessInformation& info, uint32_t timeoutMs,
                               uint32_t* exitCode);

}  // namespace vk::platform
