// The clean-up's readers of what others wrote: its switches (the first line,
// as a "Run" value or a command line holds them) and the uninstall log (the
// rest). Whatever they hold, an item is only ever the product's own key or
// AutoCAD profile, a path below the user's add-on folder, or one of the
// launcher's four items in AutoCAD's per-user folder.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/text.h"
#include "profile/launcher_items.h"
#include "profile/uninstall_log.h"
#include "uninstall/uninstall_records.h"
#include "uninstall/uninstall_switches.h"

namespace {

namespace pf = vk::platform;
using vk::uninstall::ItemKind;

constexpr char16_t kRoaming[] = u"Q:\\Users\\jan\\AppData\\Roaming";

void Require(bool condition) {
  if (!condition) std::abort();
}

void CheckItem(const std::u16string& line, const std::u16string& product,
               const vk::uninstall::UninstallItem& item) {
  Require(line.find(u"..") == std::u16string::npos);
  Require(std::none_of(line.begin(), line.end(), [](char16_t c) { return c < u' ' || c == 0x7F; }));
  Require(line.find_first_of(u"*?") == std::u16string::npos);
  if (item.kind == ItemKind::kKey) {
    Require(pf::RegistryNamesEqual(item.target, u"Software\\Kavrin\\" + product) ||
            (pf::RegistryNameStartsWith(item.target, u"Software\\") &&
             !vk::uninstall::ProfilesKeyOf(item.target, product).empty()));
    return;
  }
  const std::u16string addon = std::u16string(kRoaming) + u"\\Kavrin\\" + product;
  const std::u16string acad = std::u16string(kRoaming) + u"\\Autodesk\\";
  Require(item.target.find(u'/') == std::u16string::npos);
  if (pf::RegistryNameStartsWith(item.target, addon) &&
      (item.target.size() == addon.size() || item.target[addon.size()] == u'\\')) {
    return;
  }
  // Below "\Autodesk\" only the launcher's items of their kind, at most two
  // named folders in.
  Require(pf::RegistryNameStartsWith(item.target, acad));
  const std::u16string rest = item.target.substr(acad.size());
  bool launchers = false;
  for (const vk::profile::AcadUserItem& form : vk::profile::AcadUserItems(product)) {
    const std::u16string tail = form.tail.substr(1);
    if (form.isFolder != (item.kind == ItemKind::kFolder) || rest.size() < tail.size() ||
        !pf::RegistryNamesEqual(rest.substr(rest.size() - tail.size()), tail)) {
      continue;
    }
    const std::u16string before = rest.substr(0, rest.size() - tail.size());
    launchers =
        launchers || (std::count(before.begin(), before.end(), u'\\') <= 2 &&
                      before.find(u"\\\\") == std::u16string::npos &&
                      (before.empty() || (before.front() != u'\\' && before.back() == u'\\')));
  }
  Require(launchers);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const size_t end = input.find('\n');
  const std::u16string switches = pf::Utf8ToUtf16(input.substr(0, end));
  const std::string_view log = end == std::string_view::npos ? "" : input.substr(end + 1);

  vk::uninstall::UninstallRequest request;
  std::u16string error;
  std::u16string product = u"VELKOR RUR15";
  if (vk::uninstall::ParseSwitchText(switches, &request, &error)) {
    Require(!request.switches.empty());
    for (const auto& s : request.switches) Require(vk::uninstall::IsProductName(s.product));
    product = request.switches.front().product;
  } else {
    Require(!error.empty() && request.switches.empty());
  }

  const vk::uninstall::UserFolders folders{kRoaming};
  for (const std::u16string& line : vk::profile::UninstallLogLines(log)) {
    vk::uninstall::UninstallItem item;
    std::u16string reason;
    if (vk::uninstall::ReadUninstallRecord(line, product, folders, &item, &reason)) {
      CheckItem(line, product, item);
    } else {
      Require(!reason.empty());
    }
  }
  return 0;
}
