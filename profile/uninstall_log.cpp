#include "profile/uninstall_log.h"

#include <cstdio>
#include <memory>

#include "launchlog/launch_log.h"
#include "platform/code_page_path.h"
#include "platform/files.h"
#include "platform/text.h"

namespace vk::profile {
namespace {

using settings::Setting;

// Calls `visit` with each line of `log` (ended by LF or CR LF, the last one
// possibly without an end) until it returns true; whether one did.
template <typename Visit>
bool AnyLine(std::string_view log, Visit visit) {
  size_t begin = 0;
  while (begin < log.size()) {
    size_t end = log.find('\n', begin);
    if (end == std::string_view::npos) end = log.size();
    std::string_view line = log.substr(begin, end - begin);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (visit(line)) return true;
    begin = end + 1;
  }
  return false;
}

bool HoldsLine(std::string_view log, std::string_view line) {
  return AnyLine(log, [&](std::string_view existing) { return existing == line; });
}

}  // namespace

std::u16string UninstallLogPath(std::u16string_view appData, std::u16string_view product) {
  return std::u16string(appData) + u"\\Kavrin\\" + std::u16string(product) + u"\\KvUnInstall.log";
}

std::u16string UninstallLogPath(const settings::Settings& settings) {
  return UninstallLogPath(settings[Setting::AppDataPath], settings::kAddonProfileName);
}

bool AddUninstallEntry(const settings::Settings& settings, std::u16string_view line) {
  const std::u16string vendor = settings[Setting::AppDataPath] + u"\\Kavrin";
  static_cast<void>(platform::MakeFolder(vendor));
  static_cast<void>(platform::MakeFolder(vendor + u"\\" + settings::kAddonProfileName));
  const std::optional<std::string> converted = platform::PathLineToCodePage(line);
  // An empty line in place of the path would tell the uninstaller nothing.
  if (!converted) {
    launchlog::Record("uninstall",
                      u"not recorded, the code page cannot hold it: " + std::u16string(line));
    return false;
  }
  return AppendUninstallLines(UninstallLogPath(settings), {*converted});
}

bool AppendUninstallLines(std::u16string_view logPath, const std::vector<std::string>& lines) {
  // Opened for reading and appending, created when missing, never truncated.
  platform::UniqueFile file(platform::OpenFile(logPath, u"a+b"));
  if (!file) {
    launchlog::Record("uninstall", u"cannot open " + std::u16string(logPath));
    return false;
  }
  std::string log;
  std::rewind(file.get());
  char buffer[4096];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
    log.append(buffer, got);
    if (log.size() > kMaxUninstallLogSize) {
      launchlog::Record("uninstall",
                        u"over 16 MB, no log of ours: left as it is, nothing recorded in " +
                            std::u16string(logPath));
      return false;
    }
  }

  std::string appended;
  for (const std::string& line : lines) {
    if (HoldsLine(log, line)) continue;
    launchlog::Record("uninstall", u"recorded " + platform::CodePageToUtf16(line));
    // A last line without its end would otherwise run into the new one.
    if (!log.empty() && log.back() != '\n') {
      log += "\r\n";
      appended += "\r\n";
    }
    log += line + "\r\n";
    appended += line + "\r\n";
  }
  if (appended.empty()) return true;
  std::fseek(file.get(), 0, SEEK_END);
  if (std::fwrite(appended.data(), 1, appended.size(), file.get()) != appended.size() ||
      std::fflush(file.get()) != 0) {
    launchlog::Record("uninstall", u"cannot write " + std::u16string(logPath));
    return false;
  }
  return true;
}

std::vector<std::u16string> UninstallLogLines(std::string_view log) {
  std::vector<std::u16string> lines;
  AnyLine(log, [&](std::string_view line) {
    lines.push_back(platform::CodePageToUtf16(line));
    return false;
  });
  return lines;
}

}  // namespace vk::profile
