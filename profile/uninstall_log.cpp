#include "profile/uninstall_log.h"

#include <cstdio>
#include <memory>

#include "platform/code_page_path.h"
#include "platform/files.h"

namespace vk::profile {
namespace {

using settings::Setting;

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

// Whether `log` holds `line` as one of its lines (ended by LF or CR LF, the
// last one possibly without an end).
bool HoldsLine(std::string_view log, std::string_view line) {
  size_t begin = 0;
  while (begin < log.size()) {
    size_t end = log.find('\n', begin);
    if (end == std::string_view::npos) end = log.size();
    std::string_view existing = log.substr(begin, end - begin);
    if (!existing.empty() && existing.back() == '\r') existing.remove_suffix(1);
    if (existing == line) return true;
    begin = end + 1;
  }
  return false;
}

}  // namespace

std::u16string UninstallLogPath(const settings::Settings& settings) {
  return settings[Setting::AppDataPath] + u"\\Kavrin\\" + settings::kAddonProfileName +
         u"\\KvUnInstall.log";
}

bool AddUninstallEntry(const settings::Settings& settings, std::u16string_view line) {
  const std::u16string vendor = settings[Setting::AppDataPath] + u"\\Kavrin";
  static_cast<void>(platform::MakeFolder(vendor));
  static_cast<void>(platform::MakeFolder(vendor + u"\\" + settings::kAddonProfileName));

  // Opened for reading and appending, created when missing, never truncated.
  std::unique_ptr<std::FILE, FileCloser> file(
      platform::OpenFile(UninstallLogPath(settings), u"a+b"));
  if (!file) return false;
  std::string log;
  std::rewind(file.get());
  char buffer[4096];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) log.append(buffer, got);

  const std::optional<std::string> converted = platform::PathLineToCodePage(line);
  // An empty line in place of the path would tell the uninstaller nothing.
  if (!converted) return false;
  const std::string& entry = *converted;
  if (HoldsLine(log, entry)) return true;
  std::string appended;
  // A last line without its end would otherwise run into the new one.
  if (!log.empty() && log.back() != '\n') appended += "\r\n";
  appended += entry;
  appended += "\r\n";
  std::fseek(file.get(), 0, SEEK_END);
  static_cast<void>(std::fwrite(appended.data(), 1, appended.size(), file.get()));
  return true;
}

}  // namespace vk::profile
