// The uninstall log: 8-bit lines, each naming something an uninstaller is to
// remove ("2,0," + a key below HKEY_CURRENT_USER, "3," + a folder, "4," + a
// file), every line unique.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "settings/settings.h"

namespace vk::profile {

// The record kinds, each followed by what it names.
inline constexpr char16_t kKeyRecord[] = u"2,0,";
inline constexpr char16_t kFolderRecord[] = u"3,";
inline constexpr char16_t kFileRecord[] = u"4,";

// A real log holds a few kilobytes; one of an installation with 16,000 filled
// top-most folders about 1.1 MB. A longer file is no log of ours: the launch
// appends nothing to it and the clean-up does not read it.
inline constexpr size_t kMaxUninstallLogSize = 16 * 1024 * 1024;

// The lines of a log's bytes (each ended by CR LF or LF, the last one
// possibly without an end), read with the 8-bit code page they were written in.
std::vector<std::u16string> UninstallLogLines(std::string_view log);

// Where the launcher registers the clean-up for the user's logon, below
// HKEY_CURRENT_USER: the "Run" value, and one value per product (its name)
// holding the clean-up's switches.
inline constexpr char16_t kRunKeyPath[] = u"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr char16_t kRunValueName[] = u"KVUNINSTALL";
inline constexpr char16_t kUninstallKeyPath[] = u"SOFTWARE\\Kavrin\\Uninstall";

// The log file of `product`: the roaming application data `appData` +
// "\Kavrin\" + product + "\KvUnInstall.log".
std::u16string UninstallLogPath(std::u16string_view appData, std::u16string_view product);
// The add-on's: AppDataPath + "\Kavrin\VELKOR RUR15\KvUnInstall.log".
std::u16string UninstallLogPath(const settings::Settings& settings);

// Appends `line` (in the form platform::PathLineToCodePage gives it) with a
// CR LF, unless the log holds that line already, exact case; creates both
// folder levels and the file when missing. False when the log cannot be
// opened or the line cannot be converted.
bool AddUninstallEntry(const settings::Settings& settings, std::u16string_view line);

// Appends to the log at `logPath` each of `lines` (8-bit, without line ends)
// that it does not hold yet, exact case, each with a CR LF, after ending a
// last line that has none; creates the file, not its folders. False when the
// log cannot be opened or written, or is longer than kMaxUninstallLogSize.
bool AppendUninstallLines(std::u16string_view logPath, const std::vector<std::string>& lines);

}  // namespace vk::profile
