#include "profile/launcher_items.h"

namespace vk::profile {

std::u16string StockToolPath(std::u16string_view acadOneUserPath, std::u16string_view toolName) {
  return std::u16string(acadOneUserPath) + u"\\Support\\RegisteredTools\\" +
         std::u16string(toolName);
}

std::u16string ProjectProfilePath(std::u16string_view acadOneUserPath,
                                  std::u16string_view product) {
  return std::u16string(acadOneUserPath) +
         u"\\Support\\Profiles\\ProjectProfiles\\ADTNonProjectProfile_" + std::u16string(product) +
         u".aws";
}

std::u16string ProfileWorkspaceFolder(std::u16string_view acadOneUserPath,
                                      std::u16string_view product) {
  return std::u16string(acadOneUserPath) + u"\\Support\\Profiles\\" + std::u16string(product);
}

std::vector<AcadUserItem> AcadUserItems(std::u16string_view product) {
  std::vector<AcadUserItem> items;
  for (const char16_t* tool : kStockToolNames) {
    items.push_back({false, StockToolPath(u"", tool)});
  }
  items.push_back({false, ProjectProfilePath(u"", product)});
  items.push_back({true, ProfileWorkspaceFolder(u"", product)});
  return items;
}

}  // namespace vk::profile
