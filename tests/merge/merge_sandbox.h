// A user's folders for the menu merge in a fresh temporary folder: the
// settings that the merge reads, the paths it uses, and what the tests look
// at in the package it writes.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "cui/package_file.h"
#include "merge/menu_merge.h"
#include "platform/files.h"
#include "settings/settings.h"
#include "tests/merge/customisation_test_support.h"
#include "tests/support/test_paths.h"
#include "xml/node.h"

namespace vk::cui::test {

inline constexpr uint32_t kDT = settings::kEditionDT;
inline constexpr uint32_t kA = settings::kEditionA;
inline constexpr uint32_t kH = settings::kEditionH;

inline constexpr char16_t kDefaultWorkspace[] = u"V\u00FDkres a pozn\u00E1mky";

class MergeSandbox : public CustomisationTest {
 protected:
  void SetUp() override {
    CustomisationTest::SetUp();
    settings_[settings::Setting::AcadOneUserPath] = MakeFolders(u"User\\R18.0\\csy");
    settings_[settings::Setting::MenusPath] = MakeFolders(u"User\\R18.0\\csy\\Support\\DT+");
    settings_[settings::Setting::AcadLocation] = MakeFolders(u"Program Files\\ACA");
    settings_[settings::Setting::CdMenus] =
        MakeFolders(u"Program Files\\ACA\\UserDataCache\\Support");
    settings_[settings::Setting::AcadPathReg] =
        u"Software\\Autodesk\\AutoCAD\\R18.0\\ACAD-8001:405";
    (void)MakeFolders(u"User\\R18.0\\csy\\Support\\Profiles\\VELKOR RUR15");
  }

  // Creates the folder and those above it inside the sandbox; its full path.
  std::u16string MakeFolders(std::u16string_view relative) {
    std::u16string path = folder_.path();
    size_t start = 0;
    while (start <= relative.size()) {
      const size_t end = std::min(relative.find(u'\\', start), relative.size());
      path += u'\\';
      path += relative.substr(start, end - start);
      [[maybe_unused]] const long made = platform::MakeFolder(path);
      start = end + 1;
    }
    return path;
  }

  std::u16string Target() const { return settings_[settings::Setting::MenusPath] + u"\\aca.cuix"; }
  std::u16string Source() const { return settings_[settings::Setting::CdMenus] + u"\\aca.cuix"; }
  std::u16string Profile() const {
    return settings_[settings::Setting::AcadOneUserPath] +
           u"\\Support\\Profiles\\VELKOR RUR15\\Profile.aws";
  }
  std::u16string Express() const {
    return settings_[settings::Setting::AcadOneUserPath] + u"\\Support\\acetmain.cuix";
  }

  // Merges, then checks each file that the merge changed with a standard XML reader.
  bool Merge(uint32_t editions, uint32_t userEditions) {
    const std::u16string written[] = {Target(), Profile()};
    std::string before[std::size(written)];
    for (size_t i = 0; i < std::size(written); ++i) before[i] = Bytes(written[i]);
    const bool merged = MergeAddonMenus(settings_, editions, userEditions);
    for (size_t i = 0; i < std::size(written); ++i) {
      if (Bytes(written[i]) != before[i]) ExpectStandardXml(written[i]);
    }
    return merged;
  }

  static std::vector<std::u16string> References(xml::XmlNode* package) {
    return ChildTexts(PackageCommonItems(package), u"PartialMenuFile");
  }
  static std::vector<std::string> AddonWorkspaceMenus(xml::XmlNode* package) {
    return RenderChildren(Descend(
        WorkspaceNamed(PackageWorkspaceRoot(package), u"VELKOR-DT+ Classic"), {u"WSPopRoot"}));
  }
  static std::string DefaultWorkspaceRibbon(xml::XmlNode* package) {
    return Render(Descend(WorkspaceNamed(PackageWorkspaceRoot(package), kDefaultWorkspace),
                          {u"WSRibbonRoot"}));
  }
  static std::string Bytes(const std::u16string& path) {
    std::string bytes;
    return vk::test::ReadWholeFile(path, &bytes) ? bytes : "(unreadable)";
  }

  vk::test::TempFolder folder_;
  settings::Settings settings_;
};

}  // namespace vk::cui::test
