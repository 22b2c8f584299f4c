#include "tests/support/reg_fixture.h"

#include <vector>

#include "platform/reg_file.h"
#include "platform/registry.h"
#include "tests/support/test_paths.h"

namespace vk::test {
namespace {

using platform::RegKey;

bool Fail(std::u16string* error, std::u16string message) {
  if (error != nullptr) *error = std::move(message);
  return false;
}

// The root a path starts with and the rest of the path, or null.
RegKey SplitRoot(std::u16string_view path, std::u16string_view* rest) {
  const size_t slash = path.find(u'\\');
  const std::u16string_view root = path.substr(0, slash);
  *rest = slash == std::u16string_view::npos ? std::u16string_view() : path.substr(slash + 1);
  if (root == u"HKEY_CURRENT_USER") return platform::CurrentUserRoot();
  if (root == u"HKEY_LOCAL_MACHINE") return platform::LocalMachineRoot();
  return nullptr;
}

bool ApplyValues(RegKey key, const platform::RegFileKey& record, std::u16string* error) {
  for (const platform::RegFileValue& value : record.values) {
    const long result = value.remove
                            ? platform::DeleteValue(key, value.name)
                            : platform::SetValue(key, value.name, value.type, value.data.data(),
                                                 static_cast<uint32_t>(value.data.size()));
    if (result != platform::kErrorSuccess &&
        !(value.remove && result == platform::kErrorFileNotFound)) {
      return Fail(error, u"cannot write a value of " + record.path);
    }
  }
  return true;
}

bool ApplyKey(const platform::RegFileKey& record, std::u16string* error) {
  std::u16string_view rest;
  const RegKey root = SplitRoot(record.path, &rest);
  if (root == nullptr)
    return Fail(error, u"only HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE: " + record.path);
  if (record.remove) {
    const long result = platform::DeleteKeyTree(root, rest);
    return result == platform::kErrorSuccess || result == platform::kErrorFileNotFound ||
           Fail(error, u"cannot delete " + record.path);
  }
  RegKey key = nullptr;
  if (platform::CreateKey(root, rest, platform::kKeyAllAccess, &key, nullptr) !=
      platform::kErrorSuccess) {
    return Fail(error, u"cannot create " + record.path);
  }
  const bool ok = ApplyValues(key, record, error);
  platform::CloseKey(key);
  return ok;
}

}  // namespace

bool ApplyRegFile(std::u16string_view path, std::u16string* error) {
  std::string bytes;
  if (!ReadWholeFile(path, &bytes)) return Fail(error, u"cannot read " + std::u16string(path));
  std::vector<platform::RegFileKey> keys;
  platform::RegFileError parseError;
  if (!platform::ReadRegFile(bytes, &keys, &parseError)) {
    return Fail(error, std::u16string(path) + u": " + parseError.Describe());
  }
  for (const platform::RegFileKey& record : keys) {
    if (!ApplyKey(record, error)) return false;
  }
  return true;
}

}  // namespace vk::test
