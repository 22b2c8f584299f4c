// Which log lines the clean-up acts on: the launcher's forms for the product,
// below the user's own add-on and AutoCAD folders, and nothing else.
#include "uninstall/uninstall_records.h"

#include <gtest/gtest.h>

#include "platform/text.h"
#include "tests/support/test_paths.h"

namespace vk::uninstall {
namespace {

constexpr char16_t kProduct[] = u"VELKOR RUR15";

TEST(UninstallRecordsTest, OnlyTheLaunchersFormsForTheProductAreItems) {
  // A drive that does not exist: no name is expanded.
  const UserFolders folders{u"Q:\\Users\\jan\\AppData\\Roaming"};
  struct Case {
    std::u16string line;
    bool item;
    ItemKind kind;
    std::u16string target;
  };
  const Case cases[] = {
      // The forms, as the launcher and its copy engine write them.
      {u"2,0,Software\\Kavrin\\VELKOR RUR15", true, ItemKind::kKey,
       u"Software\\Kavrin\\VELKOR RUR15"},
      {u"2,0,software\\kavrin\\velkor rur15", true, ItemKind::kKey,
       u"software\\kavrin\\velkor rur15"},
      {u"2,0,Software\\Autodesk\\AutoCAD\\R24.3\\ACAD-7104:405\\Profiles\\VELKOR RUR15", true,
       ItemKind::kKey,
       u"Software\\Autodesk\\AutoCAD\\R24.3\\ACAD-7104:405\\Profiles\\VELKOR RUR15"},
      {u"3,Q:\\Users\\jan\\AppData\\Roaming\\Kavrin\\VELKOR RUR15/Plot Styles/", true,
       ItemKind::kFolder, u"Q:\\Users\\jan\\AppData\\Roaming\\Kavrin\\VELKOR RUR15\\Plot Styles"},
      {u"3,Q:\\Users\\jan\\AppData\\Roaming\\Kavrin\\VELKOR RUR15/", true, ItemKind::kFolder,
       u"Q:\\Users\\jan\\AppData\\Roaming\\Kavrin\\VELKOR RUR15"},
      {u"4,q:\\users\\JAN\\appdata\\roaming\\autodesk\\ACA 2024\\csy\\Support\\"
       u"RegisteredTools\\kvaddormerstocktools.ATC",
       true, ItemKind::kFile,
       u"q:\\users\\JAN\\appdata\\roaming\\autodesk\\ACA 2024\\csy\\Support\\"
       u"RegisteredTools\\kvaddormerstocktools.ATC"},
      // AutoCAD's per-user folder without a language, or without both names.
      {u"4,Q:\\Users\\jan\\AppData\\Roaming\\Autodesk\\ACA 2024\\Support\\RegisteredTools\\"
       u"KvAdIsolationStockTools.atc",
       true, ItemKind::kFile,
       u"Q:\\Users\\jan\\AppData\\Roaming\\Autodesk\\ACA 2024\\Support\\RegisteredTools\\"
       u"KvAdIsolationStockTools.atc"},
      {u"4,Q:\\Users\\jan\\AppData\\Roaming\\Autodesk\\Support\\Profiles\\ProjectProfiles\\"
       u"ADTNonProjectProfile_VELKOR RUR15.aws",
       true, ItemKind::kFile,
       u"Q:\\Users\\jan\\AppData\\Roaming\\Autodesk\\Support\\Profiles\\ProjectProfiles\\"
       u"ADTNonProjectProfile_VELKOR RUR15.aws"},
      {u"3,Q:\\Users\\jan\\AppData\\Roaming\\Autodesk\\\\ACA 2024\\csy\\Support\\Profiles\\VELKOR "
       u"RUR15",
       true, ItemKind::kFolder,
       u"Q:\\Users\\jan\\AppData\\Roaming\\Autodesk\\ACA 2024\\csy\\Support\\Profiles\\VELKOR "
       u"RUR15"},
      // Anything else.
      {u"2,0,Software\\Microsoft", false, ItemKind::kKey, u""},
      {u"2,0,Software\\Kavrin", false, ItemKind::kKey, u""},
      {u"2,0,Software\\Kavrin\\VELKOR RUR15\\", false, ItemKind::kKey, u""},
      {u"2,0,Software\\Kavrin\\Other", false, ItemKind::kKey, u""},
      {u"2,0,Software\\X\\Profiles\\Other", false, ItemKind::kKey, u""},
      {u"2,0,Software\\Profiles\\VELKOR RUR15", false, ItemKind::kKey, u""},
      {u"2,0,Software\\X\\\\Profiles\\VELKOR RUR15", false, ItemKind::kKey, u""},
      {u"2,0,Software\\X/Y\\Profiles\\VELKOR RUR15", false, ItemKind::kKey, u""},
      {u"2,0,System\\X\\Profiles\\VELKOR RUR15", false, ItemKind::kKey, u""},
      {u"2,0,\\Software\\Kavrin\\VELKOR RUR15", false, ItemKind::kKey, u""},
      {u"3,Q:\\Users\\eva\\AppData\\Roaming\\Kavrin\\VELKOR RUR15\\Support", false, ItemKind::kKey,
       u""},
      {u"3,C:\\Windows\\System32", false, ItemKind::kKey, u""},
      // Below "\Autodesk" only the launcher's four items: never the user's own
      // support folder (a record cut short names it), AutoCAD's product
      // folder or another product's item, nor an item of the other kind.
      {u"3,Q:\\Users\\jan\\AppData\\Roaming\\Autodesk\\ACA 2024\\csy\\Support", false,
       ItemKind::kKey, u""},
      {u"3,Q:\\Users\\jan\\AppData\\Roaming\\Autodesk\\ACA 2024\\csy\\Support\\Profiles\\"
       u"VELKOR",
       false, ItemKind::kKey, u""},
      {u"3,Q:\\Users\\jan\\AppData\\Roaming\\Autodesk\\ACA 2024", false, ItemKind::kKey, u""},
      {u"4,Q:\\Users\\jan\\AppData\\Roaming\\Autodesk\\ACA 2024\\csy\\Support\\acad.lsp", false,
       ItemKind::kKey, u""},
      {u"4,Q:\\Users\\jan\\AppData\\Roaming\\Autodesk\\ACA 2024\\csy\\Support\\Profiles\\"
       u"VELKOR RUR15",
       false, ItemKind::kKey, u""},
      {u"3,Q:\\Users\\jan\\AppData\\Roaming\\Autodesk\\ACA 2024\\csy\\Support\\"
       u"RegisteredTools\\KvAdDormerStockTools.atc",
       false, ItemKind::kKey, u""},
      {u"3,Q:\\Users\\jan\\AppData\\Roaming\\Autodesk\\a\\b\\c\\Support\\Profiles\\VELKOR RUR15",
       false, ItemKind::kKey, u""},
      {u"3,Q:\\Users\\jan\\AppData\\Roaming\\Autodesk\\a.\\Support\\Profiles\\VELKOR RUR15", false,
       ItemKind::kKey, u""},
      {u"3,Q:\\Users\\jan\\AppData\\Roaming\\Autodesk\\Support\\Profiles\\Other", false,
       ItemKind::kKey, u""},
      // Cut at the zero, the path would name the whole "\Autodesk" folder.
      {u"3,Q:\\Users\\jan\\AppData\\Roaming\\Autodesk\\" + std::u16string(1, u'\0') +
           u"\\x\\Support\\Profiles\\VELKOR RUR15",
       false, ItemKind::kKey, u""},
      {u"4,Q:\\Users\\jan\\AppData\\Roaming\\Kavrin\\VELKOR RUR15\\a\tb.txt", false, ItemKind::kKey,
       u""},
      {u"3,Q:\\Users\\jan\\AppData\\Roaming\\Autodesk", false, ItemKind::kKey, u""},
      {u"3,Q:\\Users\\jan\\AppData\\Roaming\\Autodesk\\", false, ItemKind::kKey, u""},
      {u"3,Q:\\Users\\jan\\AppData\\Roaming\\Kavrin", false, ItemKind::kKey, u""},
      {u"3,Q:\\Users\\jan\\AppData\\Roaming\\Kavrin\\VELKOR RUR15 Extra", false, ItemKind::kKey,
       u""},
      {u"3,Q:\\Users\\jan\\AppData\\Roaming\\Kavrin\\Other\\Support", false, ItemKind::kKey, u""},
      {u"3,Q:\\Users\\jan\\AppData\\Roaming\\Kavrin\\VELKOR RUR15\\..\\..\\..", false,
       ItemKind::kKey, u""},
      {u"4,Q:\\Users\\jan\\AppData\\Roaming\\Autodesk\\*.atc", false, ItemKind::kKey, u""},
      {u"4,Q:\\Users\\jan\\AppData\\Roaming\\Autodesk\\a?.atc", false, ItemKind::kKey, u""},
      {u"4,Q:\\Users\\jan\\AppData\\Roaming\\Autodesk\\a.atc:stream", false, ItemKind::kKey, u""},
      {u"4,Q:\\Users\\jan\\AppData\\Roaming\\Autodesk\\a.atc.", false, ItemKind::kKey, u""},
      {u"4,Q:\\Users\\jan\\AppData\\Roaming\\Autodesk\\. \\a.atc", false, ItemKind::kKey, u""},
      {u"4,Users\\jan\\AppData\\Roaming\\Autodesk\\a.atc", false, ItemKind::kKey, u""},
      {u"1,Q:\\Users\\jan\\AppData\\Roaming\\Autodesk\\a.atc", false, ItemKind::kKey, u""},
      {u"", false, ItemKind::kKey, u""},
  };
  for (const Case& c : cases) {
    UninstallItem item;
    std::u16string reason;
    const bool read = ReadUninstallRecord(c.line, kProduct, folders, &item, &reason);
    EXPECT_EQ(read, c.item) << platform::Utf16ToUtf8(c.line);
    if (read && c.item) {
      EXPECT_EQ(item.kind, c.kind) << platform::Utf16ToUtf8(c.line);
      EXPECT_EQ(item.target, c.target) << platform::Utf16ToUtf8(c.line);
    } else if (!read) {
      EXPECT_FALSE(reason.empty()) << platform::Utf16ToUtf8(c.line);
    }
  }
  // Without the roaming folder no path is an item.
  UninstallItem item;
  std::u16string reason;
  EXPECT_FALSE(ReadUninstallRecord(u"3,Q:\\Users\\jan\\AppData\\Roaming\\Autodesk\\x", kProduct,
                                   UserFolders{}, &item, &reason));
}

TEST(UninstallRecordsTest, AProfileKeyNamesItsProfilesKey) {
  EXPECT_EQ(ProfilesKeyOf(u"Software\\A\\Profiles\\VELKOR RUR15", kProduct),
            u"Software\\A\\Profiles");
  EXPECT_EQ(ProfilesKeyOf(u"Software\\Kavrin\\VELKOR RUR15", kProduct), u"");
  EXPECT_EQ(ProfilesKeyOf(u"Software\\A\\Profiles\\VELKOR RUR15x", kProduct), u"");
}

}  // namespace
}  // namespace vk::uninstall
