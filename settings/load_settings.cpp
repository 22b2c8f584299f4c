#include <cstdint>
#include <string>

#include "launchlog/launch_log.h"
#include "platform/known_folders.h"
#include "platform/message_box.h"
#include "platform/registry.h"
#include "platform/text.h"
#include "settings/settings.h"

namespace vk::settings {
namespace {

namespace pf = vk::platform;

// A registry string read as the launcher has always read it: at most 260
// characters, raw data without a type check, up to the first zero. A value
// that is missing or does not fit reads as empty.
std::u16string ReadString(pf::RegKey key, std::u16string_view name) {
  constexpr uint32_t kChars = 260;
  uint8_t buffer[kChars * 2];
  uint32_t size = sizeof buffer;
  if (pf::QueryValue(key, name, nullptr, buffer, &size) != pf::kErrorSuccess) return {};
  // Only the bytes the value holds are read: data without a terminating
  // zero ends where the value ends.
  std::u16string text = pf::Utf16LeToString(buffer, size);
  if (const size_t zero = text.find(u'\0'); zero != std::u16string::npos) text.resize(zero);
  return text;
}

std::u16string TrimTrailingSeparators(std::u16string text) {
  while (!text.empty() && (text.back() == u'\\' || text.back() == u'/')) text.pop_back();
  return text;
}

void SetIfNonEmpty(std::u16string& entry, std::u16string text) {
  if (!text.empty()) entry = std::move(text);
}

std::u16string Join(std::initializer_list<std::u16string_view> parts) {
  std::u16string joined;
  bool first = true;
  for (std::u16string_view part : parts) {
    if (!first) joined += u'\\';
    joined += part;
    first = false;
  }
  return joined;
}

struct FolderSource {
  pf::KnownFolder folder;
  const char16_t* message;
};

// The known folder, trimmed; false after the folder's message when it is missing.
bool ReadKnownFolder(const FolderSource& source, std::u16string* path) {
  std::u16string found;
  if (!pf::GetKnownFolder(source.folder, &found) || found.empty()) {
    pf::ShowMessageBox(source.message, u"VELKOR", pf::kMbIconError);
    return false;
  }
  *path = TrimTrailingSeparators(std::move(found));
  return true;
}

// A key that gives no values leaves its settings empty; support needs to know why.
void RecordUnopened(const std::u16string& key, long error) {
  launchlog::Record("settings",
                    key + u" cannot be opened: system error " + launchlog::WideSystemError(error));
}

// Machine values of the add-on key.
void ReadAddonMachineKey(Settings& s) {
  pf::ScopedKey key;
  if (const long opened = pf::OpenKey(pf::LocalMachineRoot(), kAddonMachineKeyPath,
                                      pf::kKeyQueryValue, key.Receive());
      opened != 0) {
    RecordUnopened(u"HKEY_LOCAL_MACHINE\\" + std::u16string(kAddonMachineKeyPath), opened);
    return;
  }
  SetIfNonEmpty(s[Setting::AcadPathReg], ReadString(key.get(), u"AcadPathReg"));
  SetIfNonEmpty(s[Setting::StartLocation],
                TrimTrailingSeparators(ReadString(key.get(), u"StartLocation")));
  SetIfNonEmpty(s[Setting::Modules], ReadString(key.get(), u"Modules"));
  SetIfNonEmpty(s[Setting::Version], ReadString(key.get(), u"Version"));
  SetIfNonEmpty(s[Setting::VersionH], ReadString(key.get(), u"VersionH"));
}

// What this user last recorded.
void ReadAddonUserKey(Settings& s) {
  pf::ScopedKey key;
  if (const long opened =
          pf::OpenKey(pf::CurrentUserRoot(), kAddonKeyPath, pf::kKeyQueryValue, key.Receive());
      opened != 0) {
    RecordUnopened(u"HKEY_CURRENT_USER\\" + std::u16string(kAddonKeyPath), opened);
    return;
  }
  SetIfNonEmpty(s[Setting::UserModules], ReadString(key.get(), u"Modules"));
  SetIfNonEmpty(s[Setting::UserVersion], ReadString(key.get(), u"Version"));
  SetIfNonEmpty(s[Setting::UserVersionH], ReadString(key.get(), u"VersionH"));
}

// AutoCAD's product key; an empty path opens the root, which holds none of
// these values.
void ReadAcadKey(Settings& s) {
  pf::ScopedKey key;
  if (const long opened = pf::OpenKey(pf::LocalMachineRoot(), s[Setting::AcadPathReg],
                                      pf::kKeyQueryValue, key.Receive());
      opened != 0) {
    RecordUnopened(u"HKEY_LOCAL_MACHINE\\" + s[Setting::AcadPathReg], opened);
    return;
  }
  SetIfNonEmpty(s[Setting::AcadLocation],
                TrimTrailingSeparators(ReadString(key.get(), u"AcadLocation")));
  SetIfNonEmpty(s[Setting::LangAbbrev], ReadString(key.get(), u"LangAbbrev"));
  SetIfNonEmpty(s[Setting::ProductNameShort], ReadString(key.get(), u"ProductNameShort"));
  s[Setting::AcadAllUsersPath] = Join({s[Setting::CommonAppDataPath], u"Autodesk",
                                       s[Setting::ProductNameShort], s[Setting::LangAbbrev]});
  s[Setting::AcadOneUserPath] = Join(
      {s[Setting::AppDataPath], u"Autodesk", s[Setting::ProductNameShort], s[Setting::LangAbbrev]});
}

// The user's macro settings decide where the add-on's menus live.
void ReadMacroKey(Settings& s, uint32_t& menusInAcadFolder) {
  pf::ScopedKey key;
  const std::u16string path = s[Setting::AcadPathReg] + u"\\aecProfile\\Macros";
  if (const long opened =
          pf::OpenKey(pf::CurrentUserRoot(), path, pf::kKeyQueryValue, key.Receive());
      opened != 0) {
    RecordUnopened(u"HKEY_CURRENT_USER\\" + path, opened);
    return;
  }
  SetIfNonEmpty(s[Setting::CdTemplates],
                TrimTrailingSeparators(ReadString(key.get(), u"CD_TEMPLATES")));
  SetIfNonEmpty(s[Setting::CdMenus], TrimTrailingSeparators(ReadString(key.get(), u"CD_MENUS")));
  const std::u16string roaming =
      TrimTrailingSeparators(ReadString(key.get(), u"RoamingUserSupportFolder"));
  if (pf::CollateNoCase(s[Setting::CdMenus], roaming) != 0) {
    s[Setting::MenusPath] = s[Setting::CdMenus] + u"\\DT+";
    menusInAcadFolder = 1;
  } else {
    s[Setting::MenusPath] = s[Setting::OneUserPath] + u"\\Support\\DT+";
    menusInAcadFolder = 0;
  }
}

std::u16string LanguageTag(std::u16string_view langAbbrev) {
  if (pf::CompareAsciiNoCase(langAbbrev, u"plk") == 0) return u"pl-PL";
  if (pf::CompareAsciiNoCase(langAbbrev, u"csy") == 0) return u"cs-CZ";
  return u"en-US";
}

}  // namespace

bool LoadInstallationSettings(LoadedSettings* loaded) {
  Settings& s = loaded->settings;
  s.Clear();

  std::u16string commonFiles, commonAppData, appData;
  if (!ReadKnownFolder({pf::KnownFolder::kCommonFiles, u"Couldn't read CommonFilesDir"},
                       &commonFiles)) {
    return false;
  }
  s[Setting::CommonPath] = commonFiles + u"\\Kavrin Shared";
  s[Setting::AutodeskSharedPath] = commonFiles + u"\\Autodesk Shared";
  if (!ReadKnownFolder({pf::KnownFolder::kCommonAppData, u"Couldn't read Common AppData"},
                       &commonAppData)) {
    return false;
  }
  s[Setting::CommonAppDataPath] = commonAppData;
  s[Setting::AllUserPath] = Join({commonAppData, u"Kavrin", kAddonProfileName});
  if (!ReadKnownFolder({pf::KnownFolder::kAppData, u"Couldn't read AppData"}, &appData)) {
    return false;
  }
  s[Setting::AppDataPath] = appData;
  s[Setting::OneUserPath] = Join({appData, u"Kavrin", kAddonProfileName});

  ReadAddonMachineKey(s);
  ReadAddonUserKey(s);
  ReadAcadKey(s);
  ReadMacroKey(s, loaded->menusInAcadFolder);

  loaded->editionFlags = EditionFlagsOf(s[Setting::Modules]);
  loaded->userEditionFlags = EditionFlagsOf(s[Setting::UserModules]);
  s[Setting::ProductSwitch] = u" /product \"ACA\"";
  s[Setting::LanguageSwitch] = u" /language \"" + LanguageTag(s[Setting::LangAbbrev]) + u"\"";
  return true;
}

}  // namespace vk::settings
