// The 26 installation settings and the edition flags, gathered once at start.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace vk::settings {

// Index of each entry; the names are the registry value names where there is one.
enum class Setting : int {
  CommonPath = 0,
  AllUserPath = 1,
  OneUserPath = 2,
  StartLocation = 3,
  Modules = 4,
  Version = 5,
  VersionH = 6,
  UserModules = 7,
  UserVersion = 8,
  UserVersionH = 9,
  MenusPath = 10,
  AcadLocation = 11,
  AcadPathReg = 12,
  ProductNameShort = 13,
  LangAbbrev = 14,
  AcadAllUsersPath = 15,
  AcadOneUserPath = 16,
  AutodeskSharedPath = 17,
  CdTemplates = 18,
  CdMenus = 19,
  Unused20 = 20,  // never set and never read
  AppDataPath = 21,
  CommonAppDataPath = 22,
  ToolPalettePath = 23,
  ProductSwitch = 24,
  LanguageSwitch = 25,
};
inline constexpr int kSettingCount = 26;

// Edition bits of a modules string.
inline constexpr uint32_t kEditionDT = 0x1;
inline constexpr uint32_t kEditionA = 0x2;
inline constexpr uint32_t kEditionH = 0x4;

// The add-on's names that the settings and their users share.
inline constexpr char16_t kAddonKeyPath[] = u"Software\\Kavrin\\VELKOR RUR15";
inline constexpr char16_t kAddonMachineKeyPath[] = u"SOFTWARE\\Kavrin\\VELKOR RUR15";
inline constexpr char16_t kAddonProfileName[] = u"VELKOR RUR15";

// The settings array; entries are read and written by name, so no index can
// fall outside it.
class Settings {
 public:
  const std::u16string& operator[](Setting s) const { return entries_[static_cast<int>(s)]; }
  std::u16string& operator[](Setting s) { return entries_[static_cast<int>(s)]; }
  void Clear() { entries_ = {}; }

 private:
  std::array<std::u16string, kSettingCount> entries_{};
};

// Edition bits found in a modules string: a case-sensitive search for "DT",
// "A" and "H".
uint32_t EditionFlagsOf(std::u16string_view modules);

// Everything LoadSettings fills.
struct LoadedSettings {
  Settings settings;
  uint32_t editionFlags = 0;
  uint32_t userEditionFlags = 0;
  uint32_t menusInAcadFolder = 0;
};

// Fills `loaded` from the known folders and the registry. False, after the
// folder's message has been shown, when a known folder is missing.
[[nodiscard]] bool LoadInstallationSettings(LoadedSettings* loaded);

}  // namespace vk::settings
