// Arbitrary registry scripts imported into the posix registry in memory
// (VKSTART_REGISTRY unset). The first byte picks the installed editions; the
// rest is the file. Some settings entries hold tokens, their own included, so
// the placeholder loop must end on every line.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/registry.h"
#include "platform/registry_posix.h"
#include "platform/text.h"
#include "profile/placeholders.h"
#include "profile/registry_script.h"
#include "settings/settings.h"

namespace {

using vk::settings::Setting;

vk::settings::Settings MakeSettings() {
  vk::settings::Settings s;
  s[Setting::AcadPathReg] = u"Software\\Autodesk\\ACA\\R24.3";
  s[Setting::CommonPath] = u"";
  s[Setting::AllUserPath] = u"C:\\ProgramData\\Kavrin\\VELKOR RUR15";
  s[Setting::OneUserPath] = u"[HKEY_CURRENT_USER\\Software\\Fuzz\\$$ACAD$$]";
  s[Setting::StartLocation] = u"C:\\Program Files\\Kavrin\\$$AC_PATH$$";
  s[Setting::AcadLocation] = u"C:\\Autodesk\\$$VK_PATH$$";
  s[Setting::AcadAllUsersPath] = u"$$ACAD_ALLUSERS_PATH$$";
  s[Setting::AcadOneUserPath] = u"C:\\Users\\Jiří\\ACA 2024\\csy";
  s[Setting::CdTemplates] = u"PATH$$";
  s[Setting::CdMenus] = u"$$VK_";
  s[Setting::MenusPath] = u"\"Menus\"=dword:$$VK_MENUS_PATH$$1f";
  return s;
}

bool HasSubkeys(vk::platform::RegKey key) {
  vk::platform::RegKeyInfo info;
  return vk::platform::QueryKeyInfo(key, &info) == vk::platform::kErrorSuccess && info.subkeys > 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const vk::settings::Settings settings = MakeSettings();
  if (size == 0) return 0;
  const uint32_t editions = data[0] & 7u;
  const std::string_view script(reinterpret_cast<const char*>(data + 1), size - 1);

  vk::platform::ReloadRegistry();
  vk::profile::ImportRegistryScriptBytes(script, settings, editions);
  // Scripts write below HKEY_CURRENT_USER only.
  if (HasSubkeys(vk::platform::LocalMachineRoot())) __builtin_trap();

  // Replacing leaves no token behind, so a second pass changes nothing. (A
  // prefix is enough: the import above has replaced every line already.)
  std::u16string text = vk::platform::CodePageToUtf16(script.substr(0, 512));
  vk::profile::ReplacePlaceholders(&text, settings);
  const std::u16string once = text;
  vk::profile::ReplacePlaceholders(&text, settings);
  if (text != once) __builtin_trap();
  return 0;
}
