// What the launcher places in AutoCAD's per-user folder (AcadOneUserPath), in
// one place: the launch places these items and records them in the uninstall
// log, and the clean-up accepts below the roaming "\Autodesk\" only these.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vk::profile {

// The add-on's registered stock tools, placed in "\Support\RegisteredTools".
inline constexpr const char16_t* kStockToolNames[] = {u"KvAdIsolationStockTools.atc",
                                                      u"KvAdDormerStockTools.atc"};

std::u16string StockToolPath(std::u16string_view acadOneUserPath, std::u16string_view toolName);
// The project profile file of the add-on profile `product`.
std::u16string ProjectProfilePath(std::u16string_view acadOneUserPath, std::u16string_view product);
// The folder that holds the add-on profile's workspace file.
std::u16string ProfileWorkspaceFolder(std::u16string_view acadOneUserPath,
                                      std::u16string_view product);

// One of the items above as a path below AcadOneUserPath ("\Support\...").
struct AcadUserItem {
  bool isFolder = false;
  std::u16string tail;
};
std::vector<AcadUserItem> AcadUserItems(std::u16string_view product);

}  // namespace vk::profile
