#include "uninstall/registration.h"

#include "platform/registry.h"
#include "profile/registry_access.h"
#include "profile/uninstall_log.h"
#include "uninstall/report.h"

namespace vk::uninstall {
namespace {

using platform::kErrorSuccess;

// Value names are at most 16383 characters.
constexpr uint32_t kValueNameCapacity = 16384;

// Deletes the key at `path` below HKEY_CURRENT_USER when it holds nothing.
void DeleteIfEmpty(std::u16string_view path) {
  platform::RegKeyInfo info;
  {
    platform::ScopedKey key;
    if (platform::OpenKey(platform::CurrentUserRoot(), path, platform::kKeyRead, key.Receive()) !=
            kErrorSuccess ||
        platform::QueryKeyInfo(key.get(), &info) != kErrorSuccess) {
      return;
    }
  }
  if (info.subkeys == 0 && info.values == 0 &&
      platform::DeleteKey(platform::CurrentUserRoot(), path) == kErrorSuccess) {
    Report(kProgramName, u"deleted empty key: HKEY_CURRENT_USER\\" + std::u16string(path));
  }
}

}  // namespace

std::vector<RegisteredProduct> RegisteredProducts() {
  std::vector<RegisteredProduct> products;
  platform::ScopedKey key;
  if (platform::OpenKey(platform::CurrentUserRoot(), profile::kUninstallKeyPath, platform::kKeyRead,
                        key.Receive()) != kErrorSuccess) {
    return products;
  }
  std::u16string name(kValueNameCapacity, u'\0');
  for (uint32_t index = 0;; ++index) {
    uint32_t nameChars = kValueNameCapacity;
    if (platform::EnumValue(key.get(), index, name.data(), &nameChars, nullptr, nullptr, nullptr) !=
        kErrorSuccess) {
      break;
    }
    RegisteredProduct product{name.substr(0, nameChars), {}};
    profile::RegistryValue data;
    if (profile::QueryRegistryValue(key.get(), product.product, 0, false, &data) == kErrorSuccess) {
      product.switches = profile::RegistryValueText(data.data);
    }
    products.push_back(std::move(product));
  }
  return products;
}

bool Unregister(std::u16string_view product) {
  platform::ScopedKey key;
  const long opened = platform::OpenKey(platform::CurrentUserRoot(), profile::kUninstallKeyPath,
                                        platform::kKeySetValue, key.Receive());
  if (opened == platform::kErrorFileNotFound) return true;
  const long deleted = opened == kErrorSuccess ? platform::DeleteValue(key.get(), product) : opened;
  if (deleted == platform::kErrorFileNotFound) return true;
  if (deleted != kErrorSuccess) return false;
  Report(product, u"unregistered: HKEY_CURRENT_USER\\" +
                      std::u16string(profile::kUninstallKeyPath) + u"\\" + std::u16string(product));
  return true;
}

void UnregisterWhenNoneLeft() {
  if (!RegisteredProducts().empty()) return;
  platform::ScopedKey run;
  if (platform::OpenKey(platform::CurrentUserRoot(), profile::kRunKeyPath, platform::kKeySetValue,
                        run.Receive()) == kErrorSuccess &&
      platform::DeleteValue(run.get(), profile::kRunValueName) == kErrorSuccess) {
    Report(kProgramName, u"removed the logon start: HKEY_CURRENT_USER\\" +
                             std::u16string(profile::kRunKeyPath) + u"\\" +
                             std::u16string(profile::kRunValueName));
  }
  DeleteIfEmpty(profile::kUninstallKeyPath);
  DeleteIfEmpty(u"Software\\Kavrin");
}

}  // namespace vk::uninstall
