#include "cui/menu_file_record.h"

#include <optional>
#include <utility>

#include "platform/registry.h"
#include "platform/text.h"

namespace vk::cui {
namespace {

struct MenuFileRecord {
  std::optional<std::u16string> keyPath;
  std::optional<std::u16string> profileName;
  uint32_t extraAccess = 0;
};

MenuFileRecord& Record() {
  static MenuFileRecord record;
  return record;
}

}  // namespace

void SetMenuFileRecord(const char16_t* keyPath, const char16_t* profileName, uint32_t extraAccess) {
  MenuFileRecord& record = Record();
  record.keyPath = keyPath != nullptr ? std::optional<std::u16string>(keyPath) : std::nullopt;
  record.profileName =
      profileName != nullptr ? std::optional<std::u16string>(profileName) : std::nullopt;
  record.extraAccess = extraAccess;
}

void WriteMenuFileRecord(std::u16string_view savedPath) {
  const MenuFileRecord& record = Record();
  if (!record.keyPath || !record.profileName) return;
  const platform::ScopedKey key(OpenRegistryKeyFromParts(
      true, false, true, record.extraAccess,
      {*record.keyPath, u"profiles", *record.profileName, u"General Configuration"}));
  if (!key) return;
  [[maybe_unused]] const long set =
      platform::SetStringValue(key.get(), u"MenuFile", platform::kRegSz, savedPath);
}

bool JoinKeyPath(std::initializer_list<std::u16string_view> pieces, std::u16string* path) {
  std::u16string joined;
  for (std::u16string_view piece : pieces) {
    if (!joined.empty()) joined += u'\\';
    if (!piece.empty() && platform::IsSeparator(piece.front())) piece.remove_prefix(1);
    joined += piece;
    if (joined.size() > kMaxKeyPathLength) return false;
    if (!joined.empty() && platform::IsSeparator(joined.back())) joined.pop_back();
  }
  *path = std::move(joined);
  return true;
}

platform::RegKey OpenRegistryKeyFromParts(bool currentUser, bool readOnly, bool create,
                                          uint32_t extraAccess,
                                          std::initializer_list<std::u16string_view> pieces) {
  std::u16string path;
  if (!JoinKeyPath(pieces, &path)) return nullptr;
  platform::RegKey root = currentUser ? platform::CurrentUserRoot() : platform::LocalMachineRoot();
  const uint32_t access = (readOnly ? platform::kKeyRead : platform::kKeyAllAccess) | extraAccess;
  platform::RegKey key = nullptr;
  const long result = create ? platform::CreateKey(root, path, access, &key, nullptr)
                             : platform::OpenKey(root, path, access, &key);
  return result == platform::kErrorSuccess ? key : nullptr;
}

}  // namespace vk::cui
