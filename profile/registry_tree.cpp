#include "profile/registry_tree.h"

#include <vector>

#include "launchlog/launch_log.h"
#include "platform/text.h"
#include "profile/registry_access.h"

namespace vk::profile {
namespace {

using platform::CurrentUserRoot;
using platform::kErrorSuccess;
using settings::Setting;

// Key names are at most 255 characters.
constexpr uint32_t kKeyNameCapacity = 256;
// The current profile's name is read into a buffer of this size first.
constexpr uint32_t kProfileNameBufferSize = 260;

std::u16string_view PreferredSourceProfile(std::u16string_view langAbbrev) {
  if (platform::CompareAsciiNoCase(langAbbrev, u"csy") == 0) {
    return u"AutoCAD Architecture - Metrické jednotky";
  }
  if (platform::CompareAsciiNoCase(langAbbrev, u"plk") == 0) {
    return u"AutoCAD Architecture (jednostki metryczne)";
  }
  if (platform::CompareAsciiNoCase(langAbbrev, u"deu") == 0)
    return u"AutoCAD Architecture (D A CH)";
  return u"AutoCAD Architecture (Global)";
}

// The profile to copy: the preferred one when it exists, else the current
// one (the profiles key's default value) when that exists; false for none.
bool FindSourceProfile(const settings::Settings& settings, std::u16string* source) {
  platform::ScopedKey profiles;
  if (platform::OpenKey(CurrentUserRoot(), ProfilesKeyPath(settings),
                        platform::kKeyQueryValue | platform::kKeyEnumerateSubKeys,
                        profiles.Receive()) != kErrorSuccess) {
    return false;
  }
  std::u16string current;
  RegistryValue currentValue;
  if (QueryRegistryValue(profiles.get(), u"", kProfileNameBufferSize, false, &currentValue) ==
      kErrorSuccess) {
    current = RegistryValueText(currentValue.data);
  }
  const std::u16string_view preferred = PreferredSourceProfile(settings[Setting::LangAbbrev]);
  bool currentFound = false;
  char16_t name[kKeyNameCapacity];
  for (uint32_t index = 0;; ++index) {
    uint32_t nameChars = kKeyNameCapacity;
    if (platform::EnumSubkey(profiles.get(), index, name, &nameChars, nullptr, nullptr) !=
        kErrorSuccess) {
      break;
    }
    const std::u16string_view subkey(name, nameChars);
    if (platform::CollateNoCase(subkey, preferred) == 0) {
      source->assign(subkey);
      return true;
    }
    if (!currentFound && platform::CollateNoCase(subkey, current) == 0) {
      currentFound = true;
      source->assign(subkey);
    }
  }
  return currentFound;
}

// Calls `visit` with the name, type and data of each value of `key`, whose
// longest lengths `info` gives.
template <typename Visit>
void ForEachValue(platform::RegKey key, const platform::RegKeyInfo& info, Visit visit) {
  std::vector<char16_t> valueName(info.maxValueNameLength + 1);
  std::vector<uint8_t> data(info.maxValueDataSize + 1);
  for (uint32_t index = 0;; ++index) {
    uint32_t nameChars = static_cast<uint32_t>(valueName.size());
    uint32_t dataSize = static_cast<uint32_t>(data.size());
    uint32_t type = platform::kRegNone;
    if (platform::EnumValue(key, index, valueName.data(), &nameChars, &type, data.data(),
                            &dataSize) != kErrorSuccess) {
      return;
    }
    visit(std::u16string_view(valueName.data(), nameChars), type, data.data(), dataSize);
  }
}

// Calls `visit` with the name of each subkey of `key`; the code of the last
// enumeration, so kErrorNoMoreItems after the last subkey.
template <typename Visit>
long ForEachSubkey(platform::RegKey key, const platform::RegKeyInfo& info, Visit visit) {
  std::vector<char16_t> subkeyName(info.maxSubkeyLength + 1);
  std::vector<char16_t> className(info.maxClassLength + 1);
  for (uint32_t index = 0;; ++index) {
    uint32_t nameChars = static_cast<uint32_t>(subkeyName.size());
    uint32_t classChars = static_cast<uint32_t>(className.size());
    const long enumerated = platform::EnumSubkey(key, index, subkeyName.data(), &nameChars,
                                                 className.data(), &classChars);
    if (enumerated != kErrorSuccess) return enumerated;
    visit(std::u16string_view(subkeyName.data(), nameChars));
  }
}

}  // namespace

std::u16string ProfilesKeyPath(const settings::Settings& settings) {
  return settings[Setting::AcadPathReg] + u"\\Profiles";
}

std::u16string AddonProfileKeyPath(const settings::Settings& settings) {
  return ProfilesKeyPath(settings) + u"\\" + settings::kAddonProfileName;
}

long CopyRegistryTree(platform::RegKey source, platform::RegKey destination) {
  platform::RegKeyInfo info;
  const long queried = platform::QueryKeyInfo(source, &info);
  if (queried != kErrorSuccess) return queried;
  ForEachValue(source, info,
               [&](std::u16string_view name, uint32_t type, const uint8_t* data, uint32_t size) {
                 static_cast<void>(platform::SetValue(destination, name, type, data, size));
               });
  return ForEachSubkey(source, info, [&](std::u16string_view name) {
    platform::ScopedKey target;
    if (platform::CreateKey(destination, name, platform::kKeyWrite, target.Receive(), nullptr) !=
        kErrorSuccess) {
      return;
    }
    platform::ScopedKey from;
    if (platform::OpenKey(source, name, platform::kKeyRead, from.Receive()) != kErrorSuccess) {
      return;
    }
    static_cast<void>(CopyRegistryTree(from.get(), target.get()));
  });
}

long ExportRegistryTree(platform::RegKey key, const std::u16string& path,
                        std::vector<platform::RegFileKey>* keys) {
  platform::RegKeyInfo info;
  const long queried = platform::QueryKeyInfo(key, &info);
  if (queried != kErrorSuccess) return queried;
  platform::RegFileKey exported{path, false, {}};
  ForEachValue(
      key, info, [&](std::u16string_view name, uint32_t type, const uint8_t* data, uint32_t size) {
        exported.values.push_back({std::u16string(name), false, type, {data, data + size}});
      });
  keys->push_back(std::move(exported));
  long failed = kErrorSuccess;
  const long enumerated = ForEachSubkey(key, info, [&](std::u16string_view name) {
    platform::ScopedKey child;
    long result = platform::OpenKey(key, name, platform::kKeyRead, child.Receive());
    if (result == kErrorSuccess) {
      result = ExportRegistryTree(child.get(), path + u"\\" + std::u16string(name), keys);
    }
    if (failed == kErrorSuccess) failed = result;
  });
  if (failed != kErrorSuccess) return failed;
  return enumerated == platform::kErrorNoMoreItems ? kErrorSuccess : enumerated;
}

bool CreateAddonProfileKey(settings::Settings* settings) {
  std::u16string source;
  if (!FindSourceProfile(*settings, &source)) {
    launchlog::Record("profile", u"no profile to copy from under HKEY_CURRENT_USER\\" +
                                     ProfilesKeyPath(*settings));
    return false;
  }
  const std::u16string sourcePath = ProfilesKeyPath(*settings) + u"\\" + source;
  launchlog::Record("profile", u"copied from profile \"" + source + u"\"");

  {
    platform::ScopedKey general;
    RegistryValue palettes;
    if (platform::OpenKey(CurrentUserRoot(), sourcePath + u"\\General", platform::kKeyQueryValue,
                          general.Receive()) == kErrorSuccess &&
        QueryRegistryValue(general.get(), u"ToolPalettePath", 0, true, &palettes) ==
            kErrorSuccess) {
      (*settings)[Setting::ToolPalettePath] = RegistryValueText(palettes.data);
    }
  }

  platform::ScopedKey addon;
  {
    platform::ScopedKey profiles;
    if (platform::OpenKey(CurrentUserRoot(), ProfilesKeyPath(*settings), platform::kKeyWrite,
                          profiles.Receive()) != kErrorSuccess ||
        platform::CreateKey(profiles.get(), settings::kAddonProfileName, platform::kKeyWrite,
                            addon.Receive(), nullptr) != kErrorSuccess) {
      launchlog::Record("profile", "the add-on profile's key cannot be created");
      return true;
    }
  }
  platform::ScopedKey from;
  if (platform::OpenKey(CurrentUserRoot(), sourcePath, platform::kKeyRead, from.Receive()) ==
      kErrorSuccess) {
    static_cast<void>(CopyRegistryTree(from.get(), addon.get()));
  }
  // The add-on's profile loads its own menus.
  static_cast<void>(platform::DeleteKey(addon.get(), u"Menus"));
  platform::ScopedKey general;
  if (platform::OpenKey(addon.get(), u"General", platform::kKeyWrite, general.Receive()) ==
      kErrorSuccess) {
    static_cast<void>(platform::DeleteValue(general.get(), u"ACET-ACETMAIN-MENULOADED"));
  }
  return true;
}

bool DeleteRegistryTree(platform::RegKey root, std::u16string_view path) {
  if (root == nullptr || path.empty() || path.front() == u'\\') return false;
  std::u16string subkey(path);
  for (char16_t& c : subkey) {
    if (c == u'/') c = u'\\';
  }
  return platform::DeleteKeyTree(root, subkey) == kErrorSuccess;
}

}  // namespace vk::profile
