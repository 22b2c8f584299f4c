#include "uninstall/clean_up.h"

#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "launchlog/launch_log.h"
#include "platform/files.h"
#include "platform/item_location.h"
#include "platform/known_folders.h"
#include "platform/registry.h"
#include "platform/text.h"
#include "platform/user_lock.h"
#include "profile/uninstall_log.h"
#include "uninstall/current_profile.h"
#include "uninstall/item_removal.h"
#include "uninstall/report.h"
#include "uninstall/uninstall_records.h"

namespace vk::uninstall {
namespace {

// A launch of this product waits this long for a clean-up, and the clean-up
// as long for a launch.
constexpr std::chrono::seconds kLockLimit{60};

struct ProductLog {
  // Held until the run ends: a launch of the product writes the log and
  // places the items, and the two never interleave.
  std::unique_ptr<platform::UserLock> lock;
  bool read = false;
  std::vector<std::u16string> lines;
};

ProductLog ReadProductLog(const UserFolders& folders, std::u16string_view product) {
  ProductLog log;
  if (folders.roamingAppData.empty()) {
    Report(product, u"the roaming application data folder is unknown: nothing read");
    return log;
  }
  log.lock = std::make_unique<platform::UserLock>(product, kLockLimit);
  if (log.lock->state() == platform::UserLockState::kTimedOut) {
    Report(product, u"a launch kept the product's lock past 60 s: left for the next run");
    return log;
  }
  const std::u16string path = profile::UninstallLogPath(folders.roamingAppData, product);
  std::string bytes;
  uint64_t size = 0;
  if (!platform::PathExists(path)) {
    log.read = true;
    Report(product, u"no uninstall log: " + path);
  } else if (platform::FileSize(path, &size) && size > profile::kMaxUninstallLogSize) {
    Report(product, u"the uninstall log " + path + u" is over 16 MB, no log of the launcher's: "
                                                   u"left as it is");
  } else if (!platform::ReadWholeFile(path, &bytes, profile::kMaxUninstallLogSize)) {
    Report(product, u"cannot read the uninstall log " + path);
  } else {
    log.read = true;
    log.lines = profile::UninstallLogLines(bytes);
    // An append that was killed, or ran out of disk, may have stopped within
    // a path: such a line names some folder above the one it was to name.
    if (!bytes.empty() && bytes.back() != '\n') {
      Report(product, u"skipped: " + log.lines.back() + u" (cut short: no line end)");
      log.lines.pop_back();
    }
  }
  return log;
}

bool LeaveProfiles(const ProductLog& log, std::u16string_view product, const UserFolders& folders,
                   bool listOnly) {
  bool handled = true;
  for (const std::u16string& line : log.lines) {
    UninstallItem item;
    std::u16string reason;
    if (!ReadUninstallRecord(line, product, folders, &item, &reason) ||
        item.kind != ItemKind::kKey) {
      continue;
    }
    const std::u16string profiles = ProfilesKeyOf(item.target, product);
    if (!profiles.empty() && !LeaveCurrentProfile(profiles, product, listOnly)) handled = false;
  }
  return handled;
}

// Removes an empty folder, quietly leaving one that holds anything.
void RemoveIfEmpty(const std::u16string& folder, std::u16string_view product) {
  if (platform::RemoveFolder(folder) == platform::kErrorSuccess) {
    Report(product, u"removed empty folder: " + folder);
  }
}

// The product's own traces once every record is handled.
bool RemoveProductTraces(std::u16string_view product, const UserFolders& folders,
                         const RemovalOptions& options) {
  const std::u16string logPath = profile::UninstallLogPath(folders.roamingAppData, product);
  const std::u16string productFolder = logPath.substr(0, logPath.rfind(u'\\'));
  bool handled = !platform::PathExists(logPath) ||
                 RemoveItem({ItemKind::kFile, logPath}, product, options, false);
  const std::u16string launchLogs = launchlog::LogFolder(product);
  if (!launchLogs.empty() && platform::PathExists(launchLogs)) {
    handled =
        RemoveItem({ItemKind::kFolder, launchLogs}, product, options, false) && handled;
  }
  if (options.listOnly) return handled;
  RemoveIfEmpty(productFolder, product);
  RemoveIfEmpty(folders.roamingAppData + u"\\Kavrin", product);
  if (!launchLogs.empty()) {
    const std::u16string localProduct = launchLogs.substr(0, launchLogs.rfind(u'\\'));
    RemoveIfEmpty(localProduct, product);
    RemoveIfEmpty(localProduct.substr(0, localProduct.rfind(u'\\')), product);
  }
  return handled;
}

// The folder listed before that holds `item`, when a list-only run would
// have removed it with that folder; empty otherwise.
std::u16string ListedFolderHolding(const UninstallItem& item,
                                   const std::vector<std::u16string>& listed) {
  for (const std::u16string& folder : listed) {
    if (item.kind != ItemKind::kKey && item.target.size() > folder.size() &&
        item.target[folder.size()] == u'\\' &&
        platform::RegistryNamesEqual(std::u16string_view(item.target).substr(0, folder.size()),
                                     folder)) {
      return folder;
    }
  }
  return {};
}

bool RemoveRecorded(const ProductLog& log, std::u16string_view product, const UserFolders& folders,
                    const RemovalOptions& options) {
  bool handled = true;
  std::vector<std::u16string> listedFolders;
  for (const std::u16string& line : log.lines) {
    if (line.empty()) continue;
    UninstallItem item;
    std::u16string reason;
    if (!ReadUninstallRecord(line, product, folders, &item, &reason)) {
      Report(product, u"skipped: " + line + u" (" + reason + u")");
      continue;
    }
    // A list tells what a run would meet: what went with an earlier folder
    // is gone by then.
    if (options.listOnly) {
      if (const std::u16string holder = ListedFolderHolding(item, listedFolders); !holder.empty()) {
        Report(product, u"already gone: " + item.target + u" (with " + holder + u")");
        continue;
      }
      if (item.kind == ItemKind::kFolder) listedFolders.push_back(item.target);
    }
    if (!RemoveItem(item, product, options)) handled = false;
  }
  if (!handled) {
    Report(product, u"the uninstall log stays for the next run");
    return false;
  }
  return RemoveProductTraces(product, folders, options);
}

}  // namespace

bool RunUninstallRequest(const UninstallRequest& request) {
  UserFolders folders;
  if (!platform::GetKnownFolder(platform::KnownFolder::kAppData, &folders.roamingAppData)) {
    folders.roamingAppData.clear();
  }
  RemovalOptions options;
  options.listOnly = request.listOnly;
  if (!platform::GetTempFolder(&options.exportFolder)) options.exportFolder.clear();
  std::u16string realRoaming;
  if (!folders.roamingAppData.empty() &&
      platform::RealFolderPath(folders.roamingAppData, &realRoaming) == platform::kErrorSuccess) {
    options.realRoamingAppData = NormalisedPath(realRoaming);
  }

  // One reading of each log before anything changes.
  std::map<std::u16string, ProductLog> logs;
  for (const ProductSwitch& s : request.switches) {
    const std::u16string key = platform::FoldAsciiCase(s.product);
    if (logs.find(key) == logs.end()) logs[key] = ReadProductLog(folders, s.product);
  }
  bool handled = true;
  for (const SwitchKind kind : {SwitchKind::kProfile, SwitchKind::kRemove}) {
    for (const ProductSwitch& s : request.switches) {
      if (s.kind != kind) continue;
      const ProductLog& log = logs[platform::FoldAsciiCase(s.product)];
      if (!log.read) {
        handled = false;
      } else if (kind == SwitchKind::kProfile) {
        handled = LeaveProfiles(log, s.product, folders, request.listOnly) && handled;
      } else {
        handled = RemoveRecorded(log, s.product, folders, options) && handled;
      }
    }
  }
  return handled;
}

}  // namespace vk::uninstall
