#include "launchlog/launch_log.h"

#include <cstdio>

#include "platform/fail_on_exception.h"
#include "platform/files.h"
#include "platform/known_folders.h"
#include "platform/local_time.h"
#include "platform/registry.h"
#include "platform/text.h"

namespace vk::launchlog {
namespace {

// The one log of this process; the launcher is single-threaded.
platform::UniqueFile& OpenLog() {
  static platform::UniqueFile log;
  return log;
}

// "name.log" becomes "name.1.log".
std::u16string OlderLogName(std::u16string_view fileName) {
  const size_t dot = fileName.rfind(u'.');
  std::u16string older(fileName.substr(0, dot));
  older += u".1";
  if (dot != std::u16string_view::npos) older += fileName.substr(dot);
  return older;
}

}  // namespace

std::u16string LogFolder(std::u16string_view product) {
  std::u16string local;
  if (!platform::GetKnownFolder(platform::KnownFolder::kLocalAppData, &local)) return {};
  return local + u"\\Kavrin\\" + std::u16string(product) + u"\\Logs";
}

void Open(std::u16string_view folder, std::u16string_view fileName) {
  Close();
  if (folder.empty() || platform::MakeFolderPath(folder) != platform::kErrorSuccess) return;
  const std::u16string base = std::u16string(folder) + u"\\";
  const std::u16string path = base + std::u16string(fileName);
  uint64_t size = 0;
  const bool full = platform::FileSize(path, &size) && size > kRotationSize;
  // Where the older log cannot be replaced (read-only, say), the log starts
  // afresh rather than grow without end.
  const bool moved = full && platform::ReplaceFileAtomically(path, base + OlderLogName(fileName)) ==
                                 platform::kErrorSuccess;
  OpenLog().reset(platform::OpenFile(path, full && !moved ? u"wb" : u"ab"));
}

void Close() {
  OpenLog().reset();
}

void Record(std::string_view step, std::string_view text) {
  std::FILE* file = OpenLog().get();
  if (file == nullptr) return;
  static_cast<void>(platform::FailOnException(false, [&] {
    std::string line = platform::LocalTimestamp();
    line += ' ';
    line += step;
    line += ": ";
    line += text;
    line += '\n';
    // A failed write loses this line only; the next one tries again.
    static_cast<void>(std::fwrite(line.data(), 1, line.size(), file));
    static_cast<void>(std::fflush(file));
    return true;
  }));
}

void Record(std::string_view step, std::u16string_view text) {
  if (OpenLog() == nullptr) return;
  static_cast<void>(platform::FailOnException(false, [&] {
    Record(step, platform::Utf16ToUtf8(text));
    return true;
  }));
}

std::string Number(int64_t value) {
  return std::to_string(value);
}

std::string Hex(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%x", static_cast<unsigned>(value));
  return text;
}

std::string SystemError(long error) {
  char text[32];
  std::snprintf(text, sizeof text, "%ld (0x%lx)", error, static_cast<unsigned long>(error));
  return text;
}

std::u16string WideNumber(int64_t value) {
  return platform::Utf8ToUtf16(Number(value));
}

std::u16string WideSystemError(long error) {
  return platform::Utf8ToUtf16(SystemError(error));
}

}  // namespace vk::launchlog
