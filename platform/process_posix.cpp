#include <errno.h>
#include <limits.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/command_line.h"
#include "platform/native_path_posix.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "platform/text.h"

extern char** environ;

namespace vk::platform {

int AccessError(std::u16string_view path) {
  return access(NativePath(path).c_str(), F_OK) == 0 ? 0 : errno;
}

std::optional<std::u16string> CurrentDirectory(size_t capacity) {
  std::vector<char> buffer(PATH_MAX + 1);
  while (getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE) return std::nullopt;
    buffer.resize(buffer.size() * 2);
  }
  std::u16string directory = Utf8ToUtf16(buffer.data());
  if (directory.size() >= capacity) return std::nullopt;
  return directory;
}

long StartProcess(std::u16string_view commandLine,
                  const std::optional<std::u16string>& workingDirectory, ProcessInformation* info) {
  // The child sees the arguments that CommandLineToArgvW would give it.
  const std::vector<std::u16string> args = SplitCommandLine(commandLine);
  if (args.empty() || args[0].empty()) return kErrorFileNotFound;
  std::vector<std::string> utf8;
  for (const std::u16string& arg : args) utf8.push_back(Utf16ToUtf8(arg));
  std::vector<char*> argv;
  for (std::string& arg : utf8) argv.push_back(arg.data());
  argv.push_back(nullptr);
  const std::string program = NativePath(args[0]);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (workingDirectory) {
    posix_spawn_file_actions_addchdir_np(&actions, NativePath(*workingDirectory).c_str());
  }
  pid_t pid = 0;
  const int error = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) return Win32ErrorFromErrno(error);
  info->processId = static_cast<uint32_t>(pid);
  return 0;
}

void WaitUntilIdle(const ProcessInformation& /*info*/, uint32_t /*timeoutMs*/) {}

bool WaitForExit(const ProcessInformation& info, uint32_t timeoutMs, uint32_t* exitCode) {
  const pid_t pid = static_cast<pid_t>(info.processId);
  constexpr uint32_t kPollMs = 20;
  for (uint32_t waited = 0;; waited += kPollMs) {
    int status = 0;
    const pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) {
      *exitCode = WIFEXITED(status) ? static_cast<uint32_t>(WEXITSTATUS(status))
                                    : 128u + static_cast<uint32_t>(WTERMSIG(status));
      return true;
    }
    if (done < 0 || waited >= timeoutMs) return false;
    const timespec pause{0, kPollMs * 1000000L};
    nanosleep(&pause, nullptr);
  }
}

}  // namespace vk::platform
