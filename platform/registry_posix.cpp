#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <unordered_map>

#include "platform/reg_file.h"
#include "platform/registry.h"
#include "platform/registry_posix.h"
#include "platform/registry_store.h"
#include "platform/text.h"

namespace vk::platform {

// A root handle follows the store (`rootName`); any other holds its key.
struct RegKeyHandle {
  std::u16string_view rootName;
  std::shared_ptr<RegistryKey> key;
  uint32_t access = 0;
};

namespace {

RegKeyHandle currentUserRoot{u"HKEY_CURRENT_USER", nullptr, kKeyAllAccess};
RegKeyHandle localMachineRoot{u"HKEY_LOCAL_MACHINE", nullptr, kKeyAllAccess};

bool IsRoot(RegKey key) {
  return key == &currentUserRoot || key == &localMachineRoot;
}

// The Win32 API reads names as zero-terminated strings.
std::u16string_view UpToZero(std::u16string_view name) {
  return name.substr(0, name.find(u'\0'));
}

// Writes the whole file beside the target, then renames it over the target,
// so that the target is always either the old or the new file.
bool WriteAtomically(const std::string& target, const std::string& bytes) {
  std::string temp = target + ".XXXXXX";
  const int fd = mkstemp(temp.data());
  if (fd < 0) return false;
  size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + written, bytes.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    written += static_cast<size_t>(n);
  }
  struct stat old;
  const mode_t mode = stat(target.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
  const bool ok = written == bytes.size() && fchmod(fd, mode) == 0 && fsync(fd) == 0;
  if (close(fd) != 0 || !ok || rename(temp.c_str(), target.c_str()) != 0) {
    unlink(temp.c_str());
    return false;
  }
  return true;
}

// Reads a whole file; false with errno set when it cannot be read.
bool ReadFile(const std::string& path, std::string* bytes) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  char buffer[65536];
  ssize_t n;
  while ((n = read(fd, buffer, sizeof buffer)) != 0) {
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      const int error = errno;
      close(fd);
      errno = error;
      return false;
    }
    bytes->append(buffer, static_cast<size_t>(n));
  }
  close(fd);
  return true;
}

class Registry {
 public:
  static Registry& Get() {
    static Registry registry;
    return registry;
  }

  void Reload() {
    store_.Clear();
    broken_ = false;
    Load();
  }

  // The key behind a handle that grants `needed`, or the error to return.
  long Resolve(RegKey handle, uint32_t needed, std::shared_ptr<RegistryKey>* key) {
    if (handle == nullptr) return kErrorInvalidHandle;
    if (IsRoot(handle)) {
      // Another process may have written the file, as another program writes
      // the Windows registry; while keys are open, they keep the store read.
      if (handles_.empty() && Stamp() != stamp_) Reload();
      *key = store_.Root(handle->rootName);
    } else if (handles_.count(handle) != 0) {
      *key = handle->key;
    } else {
      return kErrorInvalidHandle;
    }
    if ((handle->access & needed) != needed) return kErrorAccessDenied;
    if ((*key)->deleted()) return kErrorKeyDeleted;
    return kErrorSuccess;
  }

  RegKey Open(std::shared_ptr<RegistryKey> key, uint32_t access) {
    auto handle = std::make_unique<RegKeyHandle>(RegKeyHandle{{}, std::move(key), access});
    RegKey raw = handle.get();
    handles_.emplace(raw, std::move(handle));
    return raw;
  }

  long Close(RegKey handle) {
    if (handle == nullptr) return kErrorInvalidHandle;
    if (IsRoot(handle)) return kErrorSuccess;
    return handles_.erase(handle) != 0 ? kErrorSuccess : kErrorInvalidHandle;
  }

  // Whether the store may change at all.
  long Writable() const { return broken_ ? kErrorBadDb : kErrorSuccess; }

  // Writes the store back after a change.
  long Save() {
    if (file_.empty()) return kErrorSuccess;
    if (WriteAtomically(file_, store_.Export())) {
      stamp_ = Stamp();
      return kErrorSuccess;
    }
    std::fprintf(stderr, "vkstart: cannot write the registry file %s: %s\n", file_.c_str(),
                 std::strerror(errno));
    return kErrorRegistryIoFailed;
  }

 private:
  Registry() { Load(); }

  // What tells one version of the file from another; all zero without a file.
  struct FileStamp {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    int64_t modifiedNs = 0;
    bool operator==(const FileStamp&) const = default;
  };

  FileStamp Stamp() const {
    struct stat status;
    if (file_.empty() || stat(file_.c_str(), &status) != 0) return {};
    return {status.st_dev, status.st_ino, status.st_size,
            int64_t{status.st_mtim.tv_sec} * 1000000000 + status.st_mtim.tv_nsec};
  }

  void Load() {
    const char* file = std::getenv("VKSTART_REGISTRY");
    file_ = file != nullptr ? file : "";
    stamp_ = Stamp();
    if (file_.empty()) return;
    std::string bytes;
    if (!ReadFile(file_, &bytes)) {
      if (errno == ENOENT) return;
      Refuse(std::strerror(errno));
      return;
    }
    RegFileError error;
    if (!store_.Import(bytes, &error)) Refuse(Utf16ToUtf8(error.Describe()));
  }

  void Refuse(const std::string& reason) {
    broken_ = true;
    std::fprintf(stderr,
                 "vkstart: cannot read the registry file %s: %s; registry changes are refused\n",
                 file_.c_str(), reason.c_str());
  }

  RegistryStore store_;
  std::string file_;
  FileStamp stamp_;
  bool broken_ = false;
  std::unordered_map<RegKey, std::unique_ptr<RegKeyHandle>> handles_;
};

// Windows refuses a relative key path that begins with a backslash (a path
// built from an empty setting) rather than reading it from the root.
bool BeginsWithSeparator(std::u16string_view path) {
  return !path.empty() && path.front() == u'\\';
}

// A key name the store's file can hold: a line break would end the [key] line.
bool IsStorablePath(std::u16string_view path) {
  return path.find_first_of(u"\r\n") == std::u16string_view::npos;
}

size_t PartCount(std::u16string_view path) {
  size_t count = 0;
  bool inPart = false;
  for (char16_t c : path) {
    if (c != u'\\' && !inPart) ++count;
    inPart = c != u'\\';
  }
  return count;
}

// Copies a value's data into a caller's buffer of `capacity` bytes. As on
// Windows, a string stored without its terminating zero gets one when the
// buffer has room for it (the reported size stays the stored one).
void CopyData(const RegistryValue& value, uint8_t* to, uint32_t capacity) {
  std::copy(value.data.begin(), value.data.end(), to);
  const size_t size = value.data.size();
  const bool isString =
      value.type == kRegSz || value.type == kRegExpandSz || value.type == kRegMultiSz;
  if (isString && size >= 2 && capacity - size >= 2 && (to[size - 2] != 0 || to[size - 1] != 0)) {
    to[size] = 0;
    to[size + 1] = 0;
  }
}

void CopyName(std::u16string_view from, char16_t* to, uint32_t* chars) {
  std::copy(from.begin(), from.end(), to);
  to[from.size()] = u'\0';
  *chars = static_cast<uint32_t>(from.size());
}

}  // namespace

RegKey CurrentUserRoot() {
  return &currentUserRoot;
}
RegKey LocalMachineRoot() {
  return &localMachineRoot;
}

void ReloadRegistry() {
  Registry::Get().Reload();
}

long OpenKey(RegKey parent, std::u16string_view subkey, uint32_t access, RegKey* key) {
  Registry& registry = Registry::Get();
  std::shared_ptr<RegistryKey> base;
  if (long error = registry.Resolve(parent, 0, &base)) return error;
  if (key == nullptr) return kErrorInvalidParameter;
  if (BeginsWithSeparator(subkey)) return kErrorBadPathname;
  std::shared_ptr<RegistryKey> found = base->FindPath(UpToZero(subkey));
  if (found == nullptr) return kErrorFileNotFound;
  *key = registry.Open(std::move(found), access);
  return kErrorSuccess;
}

long CreateKey(RegKey parent, std::u16string_view subkey, uint32_t access, RegKey* key,
               uint32_t* disposition) {
  Registry& registry = Registry::Get();
  std::shared_ptr<RegistryKey> base;
  if (long error = registry.Resolve(parent, 0, &base)) return error;
  if (key == nullptr) return kErrorInvalidParameter;
  const std::u16string_view path = UpToZero(subkey);
  if (BeginsWithSeparator(path)) return kErrorBadPathname;
  std::shared_ptr<RegistryKey> found = base->FindPath(path);
  uint32_t result = kRegOpenedExistingKey;
  if (found == nullptr) {
    if (!IsStorablePath(path) || base->Depth() + PartCount(path) > kMaxRegKeyDepth) {
      return kErrorInvalidParameter;
    }
    if (long error = registry.Writable()) return error;
    bool created = false;
    found = base->CreatePath(path, &created);
    if (long error = registry.Save()) return error;
    result = kRegCreatedNewKey;
  }
  *key = registry.Open(std::move(found), access);
  if (disposition != nullptr) *disposition = result;
  return kErrorSuccess;
}

long CloseKey(RegKey key) {
  return Registry::Get().Close(key);
}

long QueryValue(RegKey key, std::u16string_view name, uint32_t* type, uint8_t* data,
                uint32_t* size) {
  std::shared_ptr<RegistryKey> k;
  if (long error = Registry::Get().Resolve(key, kKeyQueryValue, &k)) return error;
  if (data != nullptr && size == nullptr) return kErrorInvalidParameter;
  const RegistryValue* value = k->FindValue(UpToZero(name));
  if (value == nullptr) return kErrorFileNotFound;
  const auto needed = static_cast<uint32_t>(value->data.size());
  if (data != nullptr) {
    if (*size < needed) {
      *size = needed;
      return kErrorMoreData;
    }
    CopyData(*value, data, *size);
  }
  if (type != nullptr) *type = value->type;
  if (size != nullptr) *size = needed;
  return kErrorSuccess;
}

long SetValue(RegKey key, std::u16string_view name, uint32_t type, const uint8_t* data,
              uint32_t size) {
  Registry& registry = Registry::Get();
  std::shared_ptr<RegistryKey> k;
  if (long error = registry.Resolve(key, kKeySetValue, &k)) return error;
  if (data == nullptr && size != 0) return kErrorInvalidParameter;
  if (long error = registry.Writable()) return error;
  k->SetValue(UpToZero(name), type, std::vector<uint8_t>(data, data + size));
  return registry.Save();
}

long DeleteValue(RegKey key, std::u16string_view name) {
  Registry& registry = Registry::Get();
  std::shared_ptr<RegistryKey> k;
  if (long error = registry.Resolve(key, kKeySetValue, &k)) return error;
  if (k->FindValue(UpToZero(name)) == nullptr) return kErrorFileNotFound;
  if (long error = registry.Writable()) return error;
  k->DeleteValue(UpToZero(name));
  return registry.Save();
}

long EnumValue(RegKey key, uint32_t index, char16_t* name, uint32_t* nameChars, uint32_t* type,
               uint8_t* data, uint32_t* dataSize) {
  std::shared_ptr<RegistryKey> k;
  if (long error = Registry::Get().Resolve(key, kKeyQueryValue, &k)) return error;
  if (name == nullptr || nameChars == nullptr || (data != nullptr && dataSize == nullptr)) {
    return kErrorInvalidParameter;
  }
  if (index >= k->values().size()) return kErrorNoMoreItems;
  const RegistryValue& value = k->values()[index];
  const auto needed = static_cast<uint32_t>(value.data.size());
  if (value.name.size() >= *nameChars || (data != nullptr && *dataSize < needed)) {
    if (dataSize != nullptr) *dataSize = needed;
    return kErrorMoreData;
  }
  CopyName(value.name, name, nameChars);
  if (data != nullptr) CopyData(value, data, *dataSize);
  if (type != nullptr) *type = value.type;
  if (dataSize != nullptr) *dataSize = needed;
  return kErrorSuccess;
}

long EnumSubkey(RegKey key, uint32_t index, char16_t* name, uint32_t* nameChars,
                char16_t* className, uint32_t* classChars) {
  std::shared_ptr<RegistryKey> k;
  if (long error = Registry::Get().Resolve(key, kKeyEnumerateSubKeys, &k)) return error;
  if (name == nullptr || nameChars == nullptr) return kErrorInvalidParameter;
  if (index >= k->subkeys().size()) return kErrorNoMoreItems;
  const std::u16string& subkeyName = k->subkeys()[index]->name();
  const bool wantsClass = className != nullptr && classChars != nullptr;
  if (subkeyName.size() >= *nameChars || (wantsClass && *classChars == 0)) return kErrorMoreData;
  CopyName(subkeyName, name, nameChars);
  if (wantsClass) CopyName(u"", className, classChars);
  return kErrorSuccess;
}

long QueryKeyInfo(RegKey key, RegKeyInfo* info) {
  std::shared_ptr<RegistryKey> k;
  if (long error = Registry::Get().Resolve(key, kKeyQueryValue, &k)) return error;
  if (info == nullptr) return kErrorInvalidParameter;
  RegKeyInfo result;
  result.subkeys = static_cast<uint32_t>(k->subkeys().size());
  for (const auto& subkey : k->subkeys()) {
    result.maxSubkeyLength =
        std::max(result.maxSubkeyLength, static_cast<uint32_t>(subkey->name().size()));
  }
  result.values = static_cast<uint32_t>(k->values().size());
  for (const RegistryValue& value : k->values()) {
    result.maxValueNameLength =
        std::max(result.maxValueNameLength, static_cast<uint32_t>(value.name.size()));
    result.maxValueDataSize =
        std::max(result.maxValueDataSize, static_cast<uint32_t>(value.data.size()));
  }
  *info = result;
  return kErrorSuccess;
}

namespace {

// Removes the key at `subkey` below `parent`; with `withSubkeys` false, a key
// that has subkeys stays and the call fails as RegDeleteKeyW does.
long RemoveKey(RegKey parent, std::u16string_view subkey, bool withSubkeys) {
  Registry& registry = Registry::Get();
  std::shared_ptr<RegistryKey> base;
  if (long error = registry.Resolve(parent, 0, &base)) return error;
  if (BeginsWithSeparator(subkey)) return kErrorBadPathname;
  const std::shared_ptr<RegistryKey> target = base->FindPath(UpToZero(subkey));
  if (target == nullptr) return kErrorFileNotFound;
  if (target->parent() == nullptr || (!withSubkeys && !target->subkeys().empty())) {
    return kErrorAccessDenied;
  }
  if (long error = registry.Writable()) return error;
  target->Remove();
  return registry.Save();
}

}  // namespace

long DeleteKey(RegKey parent, std::u16string_view subkey) {
  return RemoveKey(parent, subkey, false);
}

long DeleteKeyTree(RegKey parent, std::u16string_view subkey) {
  return RemoveKey(parent, subkey, true);
}

}  // namespace vk::platform
