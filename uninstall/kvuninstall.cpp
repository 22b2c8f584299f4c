#include "uninstall/kvuninstall.h"

#include "launchlog/launch_log.h"
#include "platform/command_line.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "profile/registry_access.h"
#include "uninstall/clean_up.h"
#include "uninstall/registration.h"
#include "uninstall/report.h"
#include "uninstall/uninstall_switches.h"

namespace vk::uninstall {
namespace {

// Only "not found" tells that the add-on left the machine: any other failure
// (access denied, for one) says nothing about it.
bool MachineKeyGone(std::u16string_view product) {
  platform::ScopedKey key;
  return platform::OpenKey(platform::LocalMachineRoot(),
                           u"SOFTWARE\\Kavrin\\" + std::u16string(product), platform::kKeyRead,
                           key.Receive()) == platform::kErrorFileNotFound;
}

// The launcher makes its log folder, which never roams, at every launch: a
// roaming profile that arrives on a machine where the add-on never ran has
// the product's registration but not this folder, and loses nothing.
bool LauncherRanHere(std::u16string_view product) {
  const std::u16string folder = launchlog::LogFolder(product);
  return !folder.empty() && platform::FolderExists(folder);
}

int RunAtLogon() {
  bool handled = true;
  for (const RegisteredProduct& registered : RegisteredProducts()) {
    const std::u16string& product = registered.product;
    if (!IsProductName(product) || !MachineKeyGone(product) || !LauncherRanHere(product)) continue;
    UninstallRequest request;
    std::u16string error;
    if (!ParseSwitchText(registered.switches, &request, &error) || request.listOnly) {
      Report(product, u"cannot run \"" + registered.switches + u"\": " +
                          (error.empty() ? u"-n at logon" : error));
      handled = false;
      continue;
    }
    Report(product, u"the add-on left this machine: running " + registered.switches);
    if (!RunUninstallRequest(request) || !Unregister(product)) handled = false;
  }
  UnregisterWhenNoneLeft();
  return handled ? kEverythingHandled : kSomethingStays;
}

int RunSwitches(const std::vector<std::u16string>& args) {
  UninstallRequest request;
  std::u16string error;
  if (!ParseSwitches(args, &request, &error)) {
    Report(kProgramName, error + u"; usage: KVUnInstall [-n] [-p \"PRODUCT\"] [-r \"PRODUCT\"]");
    return kBadSwitches;
  }
  Report(kProgramName, request.listOnly ? u"what would be removed for this user; nothing changes"
                                        : u"for this user, whatever the machine key says");
  if (!RunUninstallRequest(request)) return kSomethingStays;
  if (request.listOnly) return kEverythingHandled;
  // The registration served what has just been done.
  bool handled = true;
  for (const ProductSwitch& s : request.switches) {
    if (s.kind == SwitchKind::kRemove && !Unregister(s.product)) handled = false;
  }
  UnregisterWhenNoneLeft();
  return handled ? kEverythingHandled : kSomethingStays;
}

}  // namespace

int RunKvUnInstall(const std::vector<std::u16string>& args) {
  BeginReport(platform::ArgumentsAsTyped(args));
  const int result = args.empty() ? RunAtLogon() : RunSwitches(args);
  EndReport(result == kEverythingHandled ? u"done"
            : result == kSomethingStays  ? u"something stays for a later run"
                                         : u"nothing done");
  return result;
}

}  // namespace vk::uninstall
