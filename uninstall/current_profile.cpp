#include "uninstall/current_profile.h"

#include <string>

#include "platform/registry.h"
#include "platform/text.h"
#include "profile/registry_access.h"
#include "uninstall/report.h"

namespace vk::uninstall {
namespace {

// Key names are at most 255 characters.
constexpr uint32_t kKeyNameCapacity = 256;

// The first subkey of `profiles` other than `product`, in the order the
// registry lists them (sorted by name, as AutoCAD's profile list is); empty
// when there is none.
std::u16string OtherProfile(platform::RegKey profiles, std::u16string_view product) {
  char16_t name[kKeyNameCapacity];
  for (uint32_t index = 0;; ++index) {
    uint32_t nameChars = kKeyNameCapacity;
    if (platform::EnumSubkey(profiles, index, name, &nameChars, nullptr, nullptr) !=
        platform::kErrorSuccess) {
      return {};
    }
    const std::u16string_view subkey(name, nameChars);
    if (!platform::RegistryNamesEqual(subkey, product)) return std::u16string(subkey);
  }
}

}  // namespace

bool LeaveCurrentProfile(std::u16string_view profilesKey, std::u16string_view product,
                         bool listOnly) {
  const std::u16string name = u"HKEY_CURRENT_USER\\" + std::u16string(profilesKey);
  platform::ScopedKey profiles;
  const long opened =
      platform::OpenKey(platform::CurrentUserRoot(), profilesKey,
                        platform::kKeyRead | platform::kKeySetValue, profiles.Receive());
  if (opened == platform::kErrorFileNotFound) return true;
  profile::RegistryValue current;
  if (opened != platform::kErrorSuccess) {
    Report(product, u"cannot open " + name);
    return false;
  }
  if (profile::QueryRegistryValue(profiles.get(), u"", 0, false, &current) !=
          platform::kErrorSuccess ||
      !platform::RegistryNamesEqual(profile::RegistryValueText(current.data), product)) {
    return true;
  }
  const std::u16string other = OtherProfile(profiles.get(), product);
  if (other.empty()) {
    Report(product, u"no other profile to make current in " + name + u"; AutoCAD makes its own");
    return true;
  }
  if (listOnly) {
    Report(product, u"would make \"" + other + u"\" the current profile of " + name);
    return true;
  }
  if (platform::SetStringValue(profiles.get(), u"", platform::kRegSz, other) !=
      platform::kErrorSuccess) {
    Report(product, u"cannot make \"" + other + u"\" the current profile of " + name);
    return false;
  }
  Report(product, u"made \"" + other + u"\" the current profile of " + name);
  return true;
}

}  // namespace vk::uninstall
