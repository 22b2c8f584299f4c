#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <thread>

#include "platform/files.h"
#include "platform/native_path_posix.h"
#include "platform/user_lock.h"

namespace vk::platform {
namespace {

// The product as a file name part: what a name may safely hold, "_" for the rest.
std::string NamePart(std::u16string_view product) {
  std::string part;
  for (const char16_t c : product) {
    const bool plain = (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') ||
                       (c >= u'0' && c <= u'9') || c == u'.' || c == u'_' || c == u'-';
    part.push_back(plain ? static_cast<char>(c) : '_');
  }
  return part;
}

// One try; 0 when taken, otherwise the error (EWOULDBLOCK while another holds it).
int TryLock(int fd) {
  int locked;
  do {
    locked = flock(fd, LOCK_EX | LOCK_NB);
  } while (locked != 0 && errno == EINTR);
  return locked == 0 ? 0 : errno;
}

}  // namespace

UserLock::UserLock(std::u16string_view product, std::chrono::milliseconds limit,
                   const std::function<void()>& whileWaiting) {
  // In the temporary folder, never in the user's folders, which a waiting
  // launcher must find as the first one left them.
  std::u16string temp;
  if (!GetTempFolder(&temp)) return;
  const std::string path =
      NativePath(temp) + "/vkstart-" + std::to_string(getuid()) + "-" + NamePart(product) + ".lock";
  const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return;
  const auto deadline = std::chrono::steady_clock::now() + limit;
  for (;;) {
    const int error = TryLock(fd);
    if (error == 0) {
      handle_ = fd;
      state_ = UserLockState::kHeld;
      return;
    }
    const auto now = std::chrono::steady_clock::now();
    if (error != EWOULDBLOCK || now >= deadline) {
      close(fd);
      if (error == EWOULDBLOCK) state_ = UserLockState::kTimedOut;
      return;
    }
    if (whileWaiting) whileWaiting();
    std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(
        kUserLockPoll, deadline - std::chrono::steady_clock::now()));
  }
}

UserLock::~UserLock() {
  // Closing the descriptor releases the lock; so does the process's end.
  if (held()) close(static_cast<int>(handle_));
}

}  // namespace vk::platform
