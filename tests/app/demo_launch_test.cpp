// The demo installation launched as a user would: the first launch, a second
// one, and one after an upgrade that adds the "H" edition.
// The launcher runs as its own process against a sandbox (registry, known
// folders, the stand-in acad.exe), so this is the whole product end to end.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "cui/package_file.h"
#include "launchlog/launch_log.h"
#include "platform/files.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "platform/text.h"
#include "tests/app/demo_machine.h"
#include "tests/copy/copy_test_support.h"
#include "tests/merge/customisation_test_support.h"
#include "tests/profile/profile_test_support.h"
#include "tests/support/message_log.h"
#include "tests/support/registry_bytes.h"
#include "tests/support/test_paths.h"

namespace vk::app {
namespace {

namespace pf = vk::platform;
using copy::test::PutFile;
using copy::test::ReadTree;
using demo::Lines;

constexpr char16_t kAcadKey[] = u"Software\\Autodesk\\AutoCAD\\R24.3\\ACAD-7104:405";
constexpr const char16_t* kAddonProfile = demo::kDemoAddonProfile;
constexpr const char16_t* kAddonMachineKey = demo::kDemoAddonMachineKey;

// The launch log's blocks, one per launch, each a list of "step: text"
// lines without their time; every line must start with a local time.
std::vector<std::vector<std::string>> LaunchBlocks(const std::string& log) {
  static const std::regex time(R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}[+-]\d\d:\d\d (.*)$)");
  std::vector<std::vector<std::string>> blocks;
  size_t begin = 0;
  for (size_t end; (end = log.find('\n', begin)) != std::string::npos; begin = end + 1) {
    const std::string line = log.substr(begin, end - begin);
    std::smatch match;
    EXPECT_TRUE(std::regex_match(line, match, time)) << line;
    if (match.empty()) continue;
    const std::string event = match[1];
    if (event.starts_with("start: vkstart ")) blocks.emplace_back();
    if (!blocks.empty()) blocks.back().push_back(event);
  }
  EXPECT_EQ(begin, log.size()) << "the last line has no end";
  return blocks;
}

// The steps of a block in the order they first appear.
std::vector<std::string> Steps(const std::vector<std::string>& block) {
  std::vector<std::string> steps;
  for (const std::string& event : block) {
    const std::string step = event.substr(0, event.find(':'));
    if (std::find(steps.begin(), steps.end(), step) == steps.end()) steps.push_back(step);
  }
  return steps;
}

bool Holds(const std::vector<std::string>& block, std::string_view event) {
  return std::find(block.begin(), block.end(), event) != block.end();
}

// The first event that starts with `prefix`; empty for none.
std::string Find(const std::vector<std::string>& block, std::string_view prefix) {
  for (const std::string& event : block) {
    if (event.starts_with(prefix)) return event;
  }
  return {};
}

// A log line that a launch's block holds: the block's number (0 for the
// first launch) and the line without its time.
struct LoggedLine {
  size_t block;
  std::string line;
};

class DemoLaunchTest : public demo::DemoMachineTest {
 protected:
  // What aca.cuix references and which pop-up menus the add-on's workspace holds.
  void ExpectMenus(const std::vector<std::u16string>& partials,
                   const std::vector<std::u16string>& menuGroups) {
    xml::XmlDocument package(cui::OpenCustomisationFile(Package()));
    ASSERT_TRUE(package);
    EXPECT_EQ(
        cui::test::ChildTexts(cui::test::PackageCommonItems(package.get()), u"PartialMenuFile"),
        partials);
    xml::XmlNode* workspace = cui::test::WorkspaceNamed(
        cui::test::PackageWorkspaceRoot(package.get()), u"VELKOR-DT+ Classic");
    ASSERT_NE(workspace, nullptr);
    std::vector<std::u16string> groups;
    for (const xml::XmlNode* pop = cui::test::Descend(workspace, {u"WSPopRoot"})->firstChild;
         pop != nullptr; pop = pop->next) {
      for (const xml::XmlNode* a = pop->firstAttribute; a != nullptr; a = a->next) {
        if (a->name.view() == u"MenuGroup") groups.emplace_back(a->value.view());
      }
    }
    EXPECT_EQ(groups, menuGroups);
    EXPECT_NE(cui::test::WorkspaceNamed(cui::test::PackageWorkspaceRoot(package.get()),
                                        u"V\u00FDkres a pozn\u00E1mky"),
              nullptr);
  }

  std::u16string LaunchLogFolder() const {
    return LocalAppData() + u"\\Kavrin\\VELKOR RUR15\\Logs";
  }
  std::string LaunchLog(const char16_t* name = u"vkstart.log") const {
    std::string bytes;
    static_cast<void>(test::ReadWholeFile(LaunchLogFolder() + u"\\" + name, &bytes));
    return bytes;
  }

  // The launch log's blocks, which must be `launches`, each row's line held
  // by its block; none when the count differs.
  std::vector<std::vector<std::string>> ExpectLaunchLog(size_t launches,
                                                        const std::vector<LoggedLine>& rows) {
    auto blocks = LaunchBlocks(LaunchLog());
    EXPECT_EQ(blocks.size(), launches) << LaunchLog();
    if (blocks.size() != launches) return {};
    for (const LoggedLine& row : rows) {
      EXPECT_TRUE(Holds(blocks[row.block], row.line)) << "block " << row.block << ": " << row.line;
    }
    return blocks;
  }
};

TEST_F(DemoLaunchTest, FirstLaunchPlacesFilesRegistryAndUninstallLog) {
  const std::vector<std::u16string> args = Launch();
  ASSERT_GE(args.size(), 3u);
  EXPECT_EQ(std::vector<std::u16string>(args.begin() + 1, args.begin() + 4),
            (std::vector<std::u16string>{u"/nologo", u"/p", u"VELKOR RUR15"}));

  // Files: the add-on's tree beside the user's own file, which stays.
  auto expected = ReadTree(std::u16string(VK_DEMO_DIR) + u"\\install\\UserDataCache");
  expected[u"Support\\kvstart.lsp"] = "the user's own";
  expected[u"Support\\WorkspaceCatalog (Metric)\\Ribbon Tools.atc"] =
      "<Catalog Name=\"Ribbon Tools\"/>\r\n";
  expected
      [u"Support\\WorkspaceCatalog (Metric)\\Palettes\\N\u00E1stroje na p\u00E1su karet \u2013 "
       u"AutoCAD_0F6FF696-085B-48FD-A8AD-5278CA20EF54.atc"] = "<Catalog Name=\"Nastroje\"/>\r\n";
  auto placed = ReadTree(OneUser());
  const std::string log = placed[u"KvUnInstall.log"];
  placed.erase(u"KvUnInstall.log");
  placed.erase(u"Support\\DT+\\aca.cuix");  // merged, looked at below
  expected.erase(u"Support\\DT+\\aca.cuix");
  EXPECT_EQ(placed, expected);
  const auto acad = ReadTree(AcadUser());
  EXPECT_EQ(acad.at(u"Support\\RegisteredTools\\acad.atc"), "AutoCAD's");
  EXPECT_EQ(acad.count(u"Support\\RegisteredTools\\KvAdIsolationStockTools.atc"), 1u);
  EXPECT_EQ(acad.count(u"Support\\RegisteredTools\\KvAdDormerStockTools.atc"), 1u);
  EXPECT_EQ(acad.count(u"Support\\Profiles\\VELKOR RUR15\\Profile.aws"), 1u);
  ExpectMenus({u"AecArchCSY.cuix", u"flyouts.cuix", u"velkor_a.cuix"},
              {u"ACA", u"FLYOUTS", u"VELKOR_A"});

  // Registry: the profile, its scripts, the catalogs once, the uninstaller.
  using profile::test::ReadText;
  EXPECT_EQ(ReadText(std::u16string(kAddonProfile) + u"\\Variables", u"VELKOR_DT"),
            u"P\u016Fdorysy, \u0159ezy");
  EXPECT_EQ(ReadText(std::u16string(kAddonProfile) + u"\\Variables", u"VELKOR_H"), u"<missing>");
  EXPECT_EQ(
      ReadText(std::u16string(kAddonProfile) + u"\\ToolPalette\\Catalogs", u"Vik\u00FD\u0159e"),
      AcadUser() + u"\\Support\\RegisteredTools\\KvAdDormerStockTools.atc");
  EXPECT_EQ(ReadText(u"Software\\Microsoft\\Windows\\CurrentVersion\\Run", u"KVUNINSTALL"),
            root_.Join(u"ProgramData") + u"\\Kavrin\\KVUnInstall.exe");
  EXPECT_EQ(ReadText(u"SOFTWARE\\Kavrin\\Uninstall", u"VELKOR RUR15"),
            u"-r \"VELKOR RUR15\" -p \"VELKOR RUR15\"");

  // The uninstall log: each line once, and a record of a folder that holds
  // each copied file (which folders depends on the order the folder search
  // delivers, the platform's).
  const std::vector<std::string> lines = Lines(log);
  EXPECT_EQ(std::set<std::string>(lines.begin(), lines.end()).size(), lines.size());
  EXPECT_NE(std::find(lines.begin(), lines.end(), "2,0," + pf::Utf16ToUtf8(kAddonProfile)),
            lines.end());
  const std::string oneUser = pf::Utf16ToCodePage(OneUser()).value_or("?");
  for (const auto& [path, bytes] :
       ReadTree(std::u16string(VK_DEMO_DIR) + u"\\install\\UserDataCache")) {
    std::string folder = "3," + oneUser + "/" + pf::Utf16ToUtf8(path);
    std::replace(folder.begin() + 2 + oneUser.size(), folder.end(), '\\', '/');
    folder.erase(folder.rfind('/') + 1);
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(),
                            [&](const std::string& line) { return folder.starts_with(line); }))
        << folder << "\n"
        << log;
  }

  // The launch log tells the launch's steps, in order, with their results.
  const auto blocks = ExpectLaunchLog(1, {{0, "settings: edition flags: machine 0x3, user 0x0"},
                                          {0, "modules: recorded \"DT A\" (was \"\")"},
                                          // The demo's eight files, one of them the user's own.
                                          {0, "copy: copied 7, already present 1, failed 0"},
                                          {0, "merge: editions added 0x3, removed 0x0"}});
  ASSERT_EQ(blocks.size(), 1u);
  const std::vector<std::string> steps{
      "start",    "settings", "lock",      "modules", "profile",     "uninstall", "copy",
      "catalogs", "tools",    "workspace", "merge",   "uninstaller", "acad",      "result"};
  EXPECT_EQ(Steps(blocks[0]), steps);
  EXPECT_TRUE(Find(blocks[0], "profile: copied from profile ").size() > 0);
  EXPECT_TRUE(Find(blocks[0], "merge: saved ").ends_with(": result 0 (saved)"));
  EXPECT_TRUE(Find(blocks[0], "acad: command line: ").find("/p \"VELKOR RUR15\"") !=
              std::string::npos);
  EXPECT_EQ(blocks[0].back(), "result: AutoCAD started");
}

TEST_F(DemoLaunchTest, SecondLaunchChangesNothing) {
  const std::vector<std::u16string> args = Launch();

  // The second launch changes nothing.
  const auto userFiles = ReadTree(OneUser());
  const auto acadFiles = ReadTree(AcadUser());
  const auto addonProfile = profile::test::Snapshot(kAddonProfile);
  const auto addonKey = profile::test::Snapshot(u"Software\\Kavrin");
  EXPECT_EQ(Launch(), args);
  EXPECT_EQ(ReadTree(OneUser()), userFiles);
  EXPECT_EQ(ReadTree(AcadUser()), acadFiles);
  EXPECT_EQ(profile::test::Snapshot(kAddonProfile), addonProfile);
  EXPECT_EQ(profile::test::Snapshot(u"Software\\Kavrin"), addonKey);

  const auto blocks = ExpectLaunchLog(
      2, {{1, "modules: unchanged"},
          {1, "profile: the add-on profile exists: kept"},
          {1, "copy: copied 0, already present 8, failed 0"},
          {1, "catalogs: none: the add-on profile was not made in this launch"},
          {1, "merge: skipped: the installed editions are those recorded for the user"}});
  ASSERT_EQ(blocks.size(), 2u);
  EXPECT_TRUE(Find(blocks[1], "uninstall: ").empty()) << "nothing new to record";
  EXPECT_EQ(blocks[1].back(), "result: AutoCAD started");
}

TEST_F(DemoLaunchTest, UpgradeAddsTheHEdition) {
  const std::vector<std::u16string> args = Launch();
  const std::vector<std::string> lines = Lines(Log());
  using profile::test::ReadText;

  // The upgrade adds "H": a new profile, its menus merged, nothing lost.
  pf::ScopedKey machine;
  ASSERT_EQ(pf::OpenKey(pf::LocalMachineRoot(), kAddonMachineKey, pf::kKeyWrite, machine.Receive()),
            0);
  ASSERT_EQ(pf::SetStringValue(machine.get(), u"Modules", pf::kRegSz, u"DT A H"), 0);
  machine.Reset();
  registry_.Refresh();
  EXPECT_EQ(Launch(), args);
  ExpectMenus({u"AecArchCSY.cuix", u"flyouts.cuix", u"velkor_a.cuix", u"velkor_h.cuix"},
              {u"ACA", u"FLYOUTS", u"VELKOR_A", u"VELKOR_H"});
  EXPECT_EQ(ReadText(std::u16string(kAddonProfile) + u"\\Variables", u"VELKOR_H"), u"Krovy");
  // The new profile has the tool catalogs again.
  EXPECT_EQ(
      ReadText(std::u16string(kAddonProfile) + u"\\ToolPalette\\Catalogs", u"Vik\u00FD\u0159e"),
      AcadUser() + u"\\Support\\RegisteredTools\\KvAdDormerStockTools.atc");
  EXPECT_EQ(ReadText(u"Software\\Kavrin\\VELKOR RUR15", u"Modules"), u"DT A H");
  EXPECT_EQ(ReadTree(OneUser()).at(u"Support\\kvstart.lsp"), "the user's own");
  const std::vector<std::string> upgraded = Lines(Log());
  EXPECT_EQ(std::set<std::string>(upgraded.begin(), upgraded.end()).size(), upgraded.size());
  EXPECT_EQ(std::vector<std::string>(upgraded.begin(), upgraded.begin() + lines.size()), lines);

  const auto blocks =
      ExpectLaunchLog(2, {{1, "modules: the add-on profile was deleted, to be made afresh"},
                          {1, "merge: editions added 0x4, removed 0x0"},
                          {1, "merge: partial menu velkor_h.cuix attached"}});
  ASSERT_EQ(blocks.size(), 2u);
  EXPECT_EQ(blocks[1].back(), "result: AutoCAD started");
}

// What a launch skips silently is in the log with its reason: a catalog
// whose source is missing, a folder that cannot be made, a main package that
// does not open. The launch itself goes on as without a log, and a log that
// has grown past its limit becomes the older log first.
TEST_F(DemoLaunchTest, SilentFailuresAreLoggedWithTheirReasons) {
  // The AutoCAD profile that the add-on's profile copies names a palette
  // folder that is gone.
  pf::ScopedKey general;
  ASSERT_EQ(pf::CreateKey(pf::CurrentUserRoot(),
                          std::u16string(kAcadKey) +
                              u"\\Profiles\\AutoCAD Architecture - Metrick\u00E9 jednotky\\General",
                          pf::kKeyAllAccess, general.Receive(), nullptr),
            0);
  ASSERT_EQ(pf::SetStringValue(general.get(), u"ToolPalettePath", pf::kRegSz, root_.Join(u"gone")),
            0);
  general.Reset();
  // A file where the add-on's plot styles folder goes, and a damaged main package.
  PutFile(OneUser(), u"Plot Styles", "not a folder");
  PutFile(OneUser(), u"Support\\DT+\\aca.cuix", "PK damaged");
  const std::string older(launchlog::kRotationSize + 1, 'x');
  PutFile(LaunchLogFolder(), u"vkstart.log", older);
  PutFile(LaunchLogFolder(), u"vkstart.1.log", "oldest");
  registry_.Refresh();

  EXPECT_GE(Launch().size(), 4u);
  EXPECT_EQ(LaunchLog(u"vkstart.1.log"), older);
  const auto blocks = LaunchBlocks(LaunchLog());
  ASSERT_EQ(blocks.size(), 1u) << LaunchLog();
  const std::vector<std::string>& block = blocks[0];
  const std::string catalog = Find(block, "catalogs: not placed ");
  EXPECT_NE(catalog.find("Ribbon Tools.atc from "), std::string::npos) << catalog;
  EXPECT_NE(catalog.find(": system error "), std::string::npos) << catalog;
  const std::string folder = Find(block, "copy: cannot create folder ");
  EXPECT_NE(folder.find("Plot Styles"), std::string::npos) << folder;
  EXPECT_NE(folder.find("(its files are not copied): system error 183 (0xb7)"), std::string::npos)
      << folder;
  EXPECT_TRUE(Find(block, "copy: copied ").ends_with(", failed 1")) << Find(block, "copy: copied ");
  EXPECT_TRUE(
      Find(block, "merge: cannot open ").ends_with("aca.cuix: not a readable menu package"));
  EXPECT_EQ(block.back(), "result: AutoCAD started");
}

// A log that cannot be written changes nothing: with a file where the log
// folder should be, the launch places the same files and starts AutoCAD.
TEST_F(DemoLaunchTest, AnUnwritableLogFolderChangesNothing) {
  PutFile(root_.Join(u"LocalAppData"), u"Kavrin", "not a folder");
  const std::vector<std::u16string> args = Launch();
  ASSERT_GE(args.size(), 4u);
  EXPECT_EQ(args[3], u"VELKOR RUR15");
  ExpectMenus({u"AecArchCSY.cuix", u"flyouts.cuix", u"velkor_a.cuix"},
              {u"ACA", u"FLYOUTS", u"VELKOR_A"});
  EXPECT_EQ(ReadTree(OneUser()).at(u"Support\\kvstart.lsp"), "the user's own");
  EXPECT_FALSE(pf::PathExists(LaunchLogFolder()));
}

// Two launches at once on a first launch: one prepares while the other
// waits, and the result is that of one launch.
TEST_F(DemoLaunchTest, TwoLaunchesAtOnceEndWithOneProfile) {
  const pf::ProcessInformation first = StartLauncher();
  const pf::ProcessInformation second = StartLauncher();
  ExpectEnds(first);
  ExpectEnds(second);
  registry_.Refresh();
  EXPECT_TRUE(test::TakeMessageLog().empty());
  const std::vector<std::string> lines = Lines(Log());
  EXPECT_EQ(std::set<std::string>(lines.begin(), lines.end()).size(), lines.size());
  EXPECT_NE(std::find(lines.begin(), lines.end(), "2,0," + pf::Utf16ToUtf8(kAddonProfile)),
            lines.end());
  EXPECT_EQ(profile::test::ReadText(std::u16string(kAddonProfile) + u"\\Variables", u"VELKOR_DT"),
            u"P\u016Fdorysy, \u0159ezy");
  ExpectMenus({u"AecArchCSY.cuix", u"flyouts.cuix", u"velkor_a.cuix"},
              {u"ACA", u"FLYOUTS", u"VELKOR_A"});
  EXPECT_EQ(ReadTree(OneUser()).at(u"Support\\kvstart.lsp"), "the user's own");
}

}  // namespace
}  // namespace vk::app
