#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/file.h>
#include <unistd.h>

#include <string>

#include "platform/user_lock.h"

namespace vk::platform {

UserLock::UserLock() {
  // In the temporary folder, never in the user's folders, which a waiting
  // launcher must find as the first one left them.
  const char* base = getenv("TMPDIR");
  const std::string path = std::string(base != nullptr && *base != 0 ? base : "/tmp") +
                           "/vkstart-" + std::to_string(getuid()) + ".lock";
  const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return;
  int locked;
  do {
    locked = flock(fd, LOCK_EX);
  } while (locked != 0 && errno == EINTR);
  if (locked != 0) {
    close(fd);
    return;
  }
  handle_ = fd;
}

UserLock::~UserLock() {
  // Closing the descriptor releases the lock; so does the process's end.
  if (held()) close(static_cast<int>(handle_));
}

}  // namespace vk::platform
