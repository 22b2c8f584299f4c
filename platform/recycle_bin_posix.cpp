#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "platform/files.h"
#include "platform/local_time.h"
#include "platform/native_path_posix.h"
#include "platform/recycle_bin.h"
#include "platform/registry.h"
#include "platform/text.h"

namespace vk::platform {
namespace {

// The home trash where freedesktop.org desktops keep it.
bool TrashFolder(std::string* trash) {
  const char* data = getenv("XDG_DATA_HOME");
  if (data != nullptr && data[0] == '/') {
    *trash = std::string(data) + "/Trash";
    return true;
  }
  const char* home = getenv("HOME");
  if (home == nullptr || home[0] != '/') return false;
  *trash = std::string(home) + "/.local/share/Trash";
  return true;
}

bool MakeFolderOf(const std::string& path) {
  if (mkdir(path.c_str(), 0700) == 0) return true;
  struct stat info;
  return errno == EEXIST && stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// A path as the trash info file holds it: escaped as in URLs, "/" kept.
std::string UrlEscaped(const std::string& path) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (const unsigned char c : path) {
    const bool plain =
        (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
        std::string_view("/-_.!~*'()").find(static_cast<char>(c)) != std::string_view::npos;
    if (plain) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kDigits[c >> 4];
      out += kDigits[c & 15];
    }
  }
  return out;
}

bool WriteAll(int fd, const std::string& text) {
  for (size_t done = 0; done < text.size();) {
    const ssize_t put = write(fd, text.data() + done, text.size() - done);
    if (put < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<size_t>(put);
  }
  return true;
}

}  // namespace

long RecycleItem(std::u16string_view path) {
  std::string item = NativePath(path);
  while (item.size() > 1 && item.back() == '/') item.pop_back();
  struct stat info;
  if (lstat(item.c_str(), &info) != 0) return Win32ErrorFromErrno(errno);
  if (item.front() != '/' || item == "/") return kErrorInvalidParameter;
  std::string trash;
  // The trash, and the data folder that holds it, are made on first use.
  if (!TrashFolder(&trash) || MakeFolderPath(Utf8ToUtf16(trash)) != kErrorSuccess ||
      !MakeFolderOf(trash) || !MakeFolderOf(trash + "/files") || !MakeFolderOf(trash + "/info")) {
    return kErrorNotSupported;
  }
  const std::string name = item.substr(item.rfind('/') + 1);
  const std::string record = "[Trash Info]\nPath=" + UrlEscaped(item) +
                             "\nDeletionDate=" + LocalTimestamp().substr(0, 19) + "\n";
  // The info file is made first, exclusively, so that it claims the name.
  for (unsigned n = 1; n < 10000; ++n) {
    const std::string entry = n == 1 ? name : name + "." + std::to_string(n);
    const std::string infoPath = trash + "/info/" + entry + ".trashinfo";
    const int fd = open(infoPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return kErrorNotSupported;
    }
    const bool written = WriteAll(fd, record);
    const bool closed = close(fd) == 0;
    const std::string target = trash + "/files/" + entry;
    struct stat taken;
    if (written && closed && lstat(target.c_str(), &taken) != 0 &&
        rename(item.c_str(), target.c_str()) == 0) {
      return kErrorSuccess;
    }
    const int error = errno;
    unlink(infoPath.c_str());
    if (written && closed && lstat(target.c_str(), &taken) == 0) continue;
    // A trash on another device cannot take the item by a rename; the item
    // stays rather than be copied there and deleted.
    return error == EXDEV ? kErrorNotSupported : Win32ErrorFromErrno(error);
  }
  return kErrorNotSupported;
}

}  // namespace vk::platform
