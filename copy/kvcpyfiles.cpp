#include "copy/kvcpyfiles.h"

#include <cstdio>
#include <optional>
#include <unordered_set>

#include "launchlog/launch_log.h"
#include "platform/code_page_path.h"
#include "platform/files.h"
#include "platform/place_file.h"
#include "platform/registry.h"
#include "platform/text.h"
#include "profile/uninstall_log.h"

namespace vk::copy {
namespace {

constexpr std::chrono::milliseconds kDispatchInterval{100};
// Failures named one by one in the launch log; the rest are counted.
constexpr int kNamedFailures = 5;

std::u16string_view WithoutTrailingSeparators(std::u16string_view path) {
  while (!path.empty() && (path.back() == u'\\' || path.back() == u'/')) path.remove_suffix(1);
  return path;
}

std::u16string_view Trimmed(std::u16string_view text) {
  const size_t begin = text.find_first_not_of(u" \t");
  if (begin == std::u16string_view::npos) return {};
  return text.substr(begin, text.find_last_not_of(u" \t") - begin + 1);
}

}  // namespace

void kvcpyfiles::SetStatusWindow(CopyStatus* status) {
  status_ = status;
  shown_ = false;
}

int kvcpyfiles::CopyFiles(std::u16string_view source, std::u16string_view destination,
                          std::u16string_view listPath, bool overwrite) {
  masks_.clear();
  copiedFolders_.Clear();
  present_ = 0;
  failed_ = 0;
  ReadCopyList(listPath);
  const std::u16string_view from = WithoutTrailingSeparators(source);
  const std::u16string_view to = WithoutTrailingSeparators(destination);
  int count = 0;
  // A path from an empty setting would reach the current drive's root.
  if (!from.empty() && !to.empty() && !platform::BeginsWithBareBackslash(from) &&
      !platform::BeginsWithBareBackslash(to)) {
    const std::u16string sourceFolder = std::u16string(from) + u"/";
    const std::u16string destinationFolder = std::u16string(to) + u"/";
    lastDispatch_ = std::chrono::steady_clock::now();
    for (const std::u16string& mask : masks_) {
      count += CopyFolder(sourceFolder, destinationFolder, mask, overwrite);
    }
  } else {
    launchlog::Record("copy", u"skipped: no usable path (from \"" + std::u16string(source) +
                                  u"\" to \"" + std::u16string(destination) + u"\")");
  }
  launchlog::Record("copy", u"from " + std::u16string(from) + u" to " + std::u16string(to));
  launchlog::Record("copy", "copied " + launchlog::Number(count) + ", already present " +
                                launchlog::Number(present_) + ", failed " +
                                launchlog::Number(failed_));
  if (failed_ > kNamedFailures) {
    launchlog::Record(
        "copy", "(only the first " + launchlog::Number(kNamedFailures) + " failures are named)");
  }
  status_ = nullptr;
  return count;
}

void kvcpyfiles::ReadCopyList(std::u16string_view listPath) {
  masks_.clear();
  std::string bytes;
  if (listPath.empty() || platform::BeginsWithBareBackslash(listPath) ||
      !platform::ReadWholeFile(listPath, &bytes)) {
    masks_.push_back(u"*.*");
    return;
  }
  const std::u16string text = platform::CodePageToUtf16(bytes);
  size_t begin = 0;
  while (begin < text.size()) {
    size_t end = text.find(u'\n', begin);
    if (end == std::u16string::npos) end = text.size();
    std::u16string_view line = std::u16string_view(text).substr(begin, end - begin);
    begin = end + 1;
    if (!line.empty() && line.back() == u'\r') line.remove_suffix(1);
    line = Trimmed(line.substr(0, line.find(u';')));
    if (!line.empty()) masks_.emplace_back(line);
  }
}

int kvcpyfiles::CopyFolder(std::u16string_view source, std::u16string_view destination,
                           std::u16string_view mask, bool overwrite) {
  std::vector<platform::FolderItem> items;
  if (!platform::ListFolder(WithoutTrailingSeparators(source), mask, &items)) {
    RecordFailure(u"cannot list " + std::u16string(source) + std::u16string(mask), std::nullopt);
    return 0;
  }
  int count = 0;
  bool folderMade = false;
  for (const platform::FolderItem& item : items) {
    KeepResponsive();
    if (item.isFolder) {
      count += CopyFolder(std::u16string(source) + item.name + u"\\",
                          std::u16string(destination) + item.name + u"/", u"*.*", overwrite);
      continue;
    }
    if (!folderMade) {
      if (!CreateFolderPath(destination)) return 0;
      folderMade = true;
    }
    const long placed = platform::PlaceFile(std::u16string(source) + item.name,
                                            std::u16string(destination) + item.name, overwrite);
    if (placed == platform::kErrorFileExists) {
      ++present_;
      continue;
    }
    if (placed != platform::kErrorSuccess) {
      RecordFailure(u"cannot copy " + std::u16string(source) + item.name, placed);
      continue;
    }
    ReportCopied(item.name);
    AddCopiedFolder(destination);
    ++count;
  }
  return count;
}

bool kvcpyfiles::CreateFolderPath(std::u16string_view path) {
  const long made = platform::MakeFolderPath(path);
  if (made == platform::kErrorSuccess) return true;
  RecordFailure(u"cannot create folder " + std::u16string(path) + u" (its files are not copied)",
                made);
  return false;
}

void kvcpyfiles::RecordFailure(const std::u16string& what, std::optional<long> error) {
  if (++failed_ > kNamedFailures) return;
  launchlog::Record("copy",
                    error ? what + u": system error " + launchlog::WideSystemError(*error) : what);
}

void kvcpyfiles::AddCopiedFolder(std::u16string_view folder) {
  copiedFolders_.Add(folder);
}

void kvcpyfiles::WriteUninstallLog(std::u16string_view logPath) {
  if (platform::BeginsWithBareBackslash(logPath)) return;
  // A missing log counts as empty.
  std::string log;
  static_cast<void>(platform::ReadWholeFile(logPath, &log));
  const std::vector<std::u16string> lines = profile::UninstallLogLines(log);
  const std::unordered_set<std::u16string> present(lines.begin(), lines.end());
  // Folders the log holds already leave the list; the rest are appended.
  std::vector<std::string> records;
  copiedFolders_.RemoveIf([&](const std::u16string& folder) {
    std::optional<std::string> record =
        platform::PathLineToCodePage(profile::kFolderRecord + folder);
    if (record && present.count(platform::CodePageToUtf16(*record)) != 0) return true;
    if (record) records.push_back(std::move(*record));
    return false;
  });
  static_cast<void>(profile::AppendUninstallLines(logPath, records));
}

void kvcpyfiles::ReportCopied(std::u16string_view fileName) {
  if (status_ == nullptr) return;
  if (!shown_) {
    status_->Show();
    status_->DispatchMessages();
    lastDispatch_ = std::chrono::steady_clock::now();
    shown_ = true;
  }
  status_->SetText(fileName);
}

void kvcpyfiles::KeepResponsive() {
  if (status_ == nullptr) return;
  const auto now = std::chrono::steady_clock::now();
  if (now - lastDispatch_ < kDispatchInterval) return;
  status_->DispatchMessages();
  lastDispatch_ = now;
}

}  // namespace vk::copy
