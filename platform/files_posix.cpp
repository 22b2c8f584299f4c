#include <dirent.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <utility>

#include "platform/files.h"
#include "platform/native_path_posix.h"
#include "platform/registry.h"
#include "platform/text.h"

namespace vk::platform {
namespace {

// "*" any run of characters, "?" one character, letters without regard to case.
bool MatchesMask(std::u16string_view name, std::u16string_view mask) {
  if (mask == u"*" || mask == u"*.*") return true;
  size_t n = 0, m = 0, starMask = std::u16string_view::npos, starName = 0;
  while (n < name.size()) {
    if (m < mask.size() && mask[m] == u'*') {
      starMask = m++;
      starName = n;
    } else if (m < mask.size() &&
               (mask[m] == u'?' || RegistryNamesEqual(name.substr(n, 1), mask.substr(m, 1)))) {
      ++n, ++m;
    } else if (starMask != std::u16string_view::npos) {
      m = starMask + 1;
      n = ++starName;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == u'*') ++m;
  return m == mask.size();
}

bool CopyContents(int from, int to) {
  char buffer[65536];
  for (;;) {
    const ssize_t got = read(from, buffer, sizeof buffer);
    if (got == 0) return true;
    if (got < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    for (ssize_t done = 0; done < got;) {
      const ssize_t put = write(to, buffer + done, static_cast<size_t>(got - done));
      if (put < 0) {
        if (errno == EINTR) continue;
        return false;
      }
      done += put;
    }
  }
}

}  // namespace

bool PathExists(std::u16string_view path) {
  struct stat info;
  return !path.empty() && stat(NativePath(path).c_str(), &info) == 0;
}

bool FolderExists(std::u16string_view path) {
  struct stat info;
  return !path.empty() && stat(NativePath(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

long CopyFileNoReplace(std::u16string_view source, std::u16string_view target) {
  return CopyNativeFileNoReplace(NativePath(source), NativePath(target), 0);
}

long CopyNativeFileNoReplace(const std::string& source, const std::string& targetPath,
                             unsigned addedMode) {
  const int from = open(source.c_str(), O_RDONLY | O_CLOEXEC);
  if (from < 0) return Win32ErrorFromErrno(errno);
  struct stat info;
  if (fstat(from, &info) != 0 || S_ISDIR(info.st_mode)) {
    close(from);
    return kErrorAccessDenied;
  }
  const int to = open(targetPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                      (info.st_mode & 0777) | addedMode);
  if (to < 0) {
    const int error = errno;
    close(from);
    return error == EEXIST ? kErrorFileExists : Win32ErrorFromErrno(error);
  }
  bool ok = CopyContents(from, to);
  // A copy keeps the source's last-write time, as CopyFileW does.
  const timespec times[2] = {info.st_atim, info.st_mtim};
  ok = futimens(to, times) == 0 && ok;
  const int error = errno;
  ok = close(to) == 0 && ok;
  close(from);
  if (!ok) {
    unlink(targetPath.c_str());
    return Win32ErrorFromErrno(error == 0 ? EIO : error);
  }
  return kErrorSuccess;
}

long MakeFolder(std::u16string_view path) {
  if (mkdir(NativePath(path).c_str(), 0777) == 0) return kErrorSuccess;
  return errno == ENOENT ? kErrorPathNotFound : Win32ErrorFromErrno(errno);
}

long RemoveFile(std::u16string_view path) {
  const std::string native = NativePath(path);
  struct stat info;
  if (lstat(native.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) return kErrorAccessDenied;
  return unlink(native.c_str()) == 0 ? kErrorSuccess : Win32ErrorFromErrno(errno);
}

long RemoveFolder(std::u16string_view path) {
  return rmdir(NativePath(path).c_str()) == 0 ? kErrorSuccess : Win32ErrorFromErrno(errno);
}

long ReplaceFileAtomically(std::u16string_view replacement, std::u16string_view target) {
  const std::string from = NativePath(replacement);
  const std::string to = NativePath(target);
  struct stat info;
  if (stat(to.c_str(), &info) == 0) {
    if ((info.st_mode & 0222) == 0) return kErrorAccessDenied;
    if (chmod(from.c_str(), info.st_mode & 07777) != 0) return Win32ErrorFromErrno(errno);
  }
  return rename(from.c_str(), to.c_str()) == 0 ? kErrorSuccess : Win32ErrorFromErrno(errno);
}

std::u16string SaveTargetPath(std::u16string_view path) {
  std::string native = NativePath(path);
  bool followed = false;
  // The kernel's own limit of links in one lookup; a loop ends here too.
  for (int hop = 0; hop < 40; ++hop) {
    char text[PATH_MAX];
    const ssize_t length = readlink(native.c_str(), text, sizeof text);
    if (length <= 0 || static_cast<size_t>(length) >= sizeof text) break;
    std::string next(text, static_cast<size_t>(length));
    if (next[0] != '/') {
      const size_t slash = native.rfind('/');
      next.insert(0, slash == std::string::npos ? std::string() : native.substr(0, slash + 1));
    }
    native = std::move(next);
    followed = true;
  }
  return followed ? Utf8ToUtf16(native) : std::u16string(path);
}

bool ListFolder(std::u16string_view folder, std::u16string_view mask,
                std::vector<FolderItem>* items) {
  const std::string native = NativePath(folder);
  const UniqueFolder dir(opendir(native.c_str()));
  if (dir == nullptr) return false;
  items->clear();
  while (const dirent* entry = readdir(dir.get())) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    FolderItem item{Utf8ToUtf16(name), false};
    if (!MatchesMask(item.name, mask)) continue;
    // The entry's own type where the file system gives it; a link or an
    // unknown type is followed, as the file search does.
    if (entry->d_type == DT_DIR || entry->d_type == DT_REG) {
      item.isFolder = entry->d_type == DT_DIR;
    } else {
      struct stat info;
      item.isFolder = stat((native + "/" + name).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
    }
    items->push_back(std::move(item));
  }
  return true;
}

bool GetTempFolder(std::u16string* path) {
  const char* base = getenv("TMPDIR");
  std::string folder = (base != nullptr && *base != 0) ? base : "/tmp";
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  *path = Utf8ToUtf16(folder);
  return true;
}

bool MakeTempFile(std::u16string_view prefix, std::u16string* path) {
  std::u16string temp;
  if (!GetTempFolder(&temp)) return false;
  const std::string folder = Utf16ToUtf8(temp);
  const std::string start = Utf16ToUtf8(prefix.substr(0, 3));
  // GetTempFileNameW's form: three prefix characters, four hex digits, ".tmp".
  const unsigned seed = static_cast<unsigned>(getpid()) * 2654435761u;
  for (unsigned i = 0; i < 0xFFFF; ++i) {
    char unique[8];
    std::snprintf(unique, sizeof unique, "%04x", ((seed >> 16) + i) % 0xFFFF + 1);
    const std::string candidate = folder + "/" + start + unique + ".tmp";
    // Converted before the file exists: running out of memory afterwards
    // would leave a file nobody knows of.
    std::u16string name = Utf8ToUtf16(candidate);
    const int fd = open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0) {
      close(fd);
      *path = std::move(name);
      return true;
    }
    if (errno != EEXIST) return false;
  }
  return false;
}

std::FILE* OpenFile(std::u16string_view path, std::u16string_view mode) {
  return std::fopen(NativePath(path).c_str(), Utf16ToUtf8(mode).c_str());
}

bool FileSize(std::u16string_view path, uint64_t* size) {
  struct stat info;
  if (stat(NativePath(path).c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  *size = static_cast<uint64_t>(info.st_size);
  return true;
}

}  // namespace vk::platform
