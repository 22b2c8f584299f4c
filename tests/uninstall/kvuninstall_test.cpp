// The clean-up end to end: the demo machine launched once, then
// KVUnInstall.exe started as at logon or by an administrator, against the
// same sandbox (registry, known folders, temporary folder, Recycle Bin).
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/code_page_path.h"
#include "platform/files.h"
#include "platform/process.h"
#include "platform/reg_file.h"
#include "platform/registry.h"
#include "platform/text.h"
#include "platform/user_lock.h"
#include "profile/uninstall_log.h"
#include "tests/app/demo_machine.h"
#include "tests/copy/copy_test_support.h"
#include "tests/profile/profile_test_support.h"
#include "tests/support/scoped_env.h"
#include "tests/support/symbolic_link.h"
#include "tests/support/test_paths.h"
#include "tests/support/trash_redirect.h"
#include "uninstall/uninstall_records.h"

namespace vk::uninstall {
namespace {

namespace pf = vk::platform;
using app::demo::kDemoAddonMachineKey;
using app::demo::kDemoAddonProfile;
using copy::test::PutFile;
using copy::test::ReadTree;
using profile::test::ReadText;
using profile::test::Snapshot;

constexpr char16_t kProduct[] = u"VELKOR RUR15";
constexpr char16_t kProfiles[] = u"Software\\Autodesk\\AutoCAD\\R24.3\\ACAD-7104:405\\Profiles";
constexpr char16_t kRunKey[] = u"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char16_t kUninstallKey[] = u"SOFTWARE\\Kavrin\\Uninstall";
constexpr char16_t kMetricProfile[] = u"AutoCAD Architecture - Metrick\u00E9 jednotky";

// Everything of the user's that a run could change.
struct UserState {
  std::map<std::u16string, std::string> roaming;
  std::map<std::u16string, std::string> local;
  std::vector<std::u16string> addonKeys;
  std::vector<std::u16string> profiles;
  std::u16string runValue;
  std::vector<std::u16string> trash;

  bool operator==(const UserState&) const = default;
};

class KvUnInstallTest : public app::demo::DemoMachineTest {
 protected:
  void SetUp() override {
    DemoMachineTest::SetUp();
    ASSERT_EQ(pf::MakeFolder(root_.Join(u"Temp")), 0);
    ASSERT_EQ(pf::MakeFolder(root_.Join(u"xdg")), 0);
    if (!trash_.active()) GTEST_SKIP() << "no freedesktop trash to look into (Windows proper)";
  }

  UserState State() {
    registry_.Refresh();
    return {ReadTree(AppData()), ReadTree(LocalAppData()),          Snapshot(u"Software\\Kavrin"),
            Snapshot(kProfiles), ReadText(kRunKey, u"KVUNINSTALL"), trash_.Items()};
  }

  void RemoveMachineKey() {
    ASSERT_EQ(pf::DeleteKeyTree(pf::LocalMachineRoot(), kDemoAddonMachineKey), 0);
    registry_.Refresh();
  }

  // Runs the clean-up with `switches` and gives its exit code; its report
  // is then in Report().
  uint32_t Run(std::u16string_view switches) {
    static_cast<void>(pf::RemoveFile(ReportPath()));
    pf::ProcessInformation process;
    EXPECT_EQ(pf::StartProcess(
                  u"\"" + std::u16string(VK_UNINSTALLER_EXE) + u"\" " + std::u16string(switches),
                  std::nullopt, &process),
              0);
    uint32_t exitCode = 99;
    EXPECT_TRUE(pf::WaitForExit(process, 60000, &exitCode)) << "KVUnInstall did not end";
    registry_.Refresh();
    return exitCode;
  }

  std::u16string ReportPath() const { return root_.Join(u"Temp\\kvuninstall.log"); }

  // The report's lines without their time: "subject: text".
  std::vector<std::u16string> Report() const {
    std::string bytes;
    std::vector<std::u16string> lines;
    if (!vk::test::ReadWholeFile(ReportPath(), &bytes)) return lines;
    size_t begin = 0;
    for (size_t end; (end = bytes.find('\n', begin)) != std::string::npos; begin = end + 1) {
      const std::string line = bytes.substr(begin, end - begin);
      lines.push_back(pf::Utf8ToUtf16(line.substr(line.find(' ') + 1)));
    }
    return lines;
  }

  // The targets of the report's lines "VELKOR RUR15: <verb>: target", up to
  // any " (" remark.
  std::set<std::u16string> Targets(std::initializer_list<std::u16string_view> verbs) const {
    std::set<std::u16string> targets;
    for (const std::u16string& line : Report()) {
      for (const std::u16string_view verb : verbs) {
        const std::u16string head = std::u16string(kProduct) + u": " + std::u16string(verb) + u": ";
        if (!line.starts_with(head)) continue;
        const std::u16string target = line.substr(head.size());
        targets.insert(target.substr(0, target.find(u" (")));
      }
    }
    return targets;
  }

  bool KeyExists(std::u16string_view path) { return profile::test::KeyExists(path); }

  // Appends `lines` to the uninstall log, each with its end but the last when
  // `lastEnded` is false.
  void AppendToLog(const std::vector<std::u16string>& lines, bool lastEnded = true) {
    std::string log = Log();
    for (size_t i = 0; i < lines.size(); ++i) {
      log += pf::Utf16ToCodePage(lines[i]).value();
      if (lastEnded || i + 1 < lines.size()) log += "\r\n";
    }
    ASSERT_TRUE(vk::test::WriteWholeFile(OneUser() + u"\\KvUnInstall.log", log));
  }

  // The report's lines for `target` that begin with `verb`.
  bool Reported(std::u16string_view verb, std::u16string_view target) const {
    const std::u16string head = std::u16string(kProduct) + u": " + std::u16string(verb) + u": " +
                                std::u16string(target);
    const std::vector<std::u16string> report = Report();
    return std::any_of(report.begin(), report.end(), [&](const std::u16string& line) {
      return line.starts_with(head);
    });
  }

  vk::test::ScopedEnv tmp_{u"TMP", root_.Join(u"Temp")};
  vk::test::ScopedEnv temp_{u"TEMP", root_.Join(u"Temp")};
  vk::test::ScopedEnv tmpdir_{u"TMPDIR", root_.Join(u"Temp")};
  vk::test::ScopedTrash trash_{root_.Join(u"xdg")};
};

TEST_F(KvUnInstallTest, AtLogonAfterTheMachineUninstallEverythingRecordedGoesOnce) {
  Launch();
  const std::vector<std::u16string> records = profile::UninstallLogLines(Log());
  ASSERT_GE(records.size(), 7u);
  PutFile(OneUser(), u"moje pozn\u00E1mky.txt", "the user's own, not recorded");

  // -n lists and changes nothing; neither does a logon while the add-on is installed.
  const UserState installed = State();
  EXPECT_EQ(Run(u"-n -r \"VELKOR RUR15\" -p \"VELKOR RUR15\""), 0u);
  EXPECT_EQ(State(), installed);
  const std::set<std::u16string> listed = Targets({u"would recycle", u"would delete key"});
  EXPECT_EQ(Run(u""), 0u);
  EXPECT_EQ(State(), installed);
  EXPECT_TRUE(Report().empty());

  // AutoCAD's current profile is the add-on's when the add-on goes.
  {
    pf::ScopedKey profiles;
    ASSERT_EQ(pf::OpenKey(pf::CurrentUserRoot(), kProfiles, pf::kKeyWrite, profiles.Receive()), 0);
    ASSERT_EQ(pf::SetStringValue(profiles.get(), u"", pf::kRegSz, kProduct), 0);
  }
  RemoveMachineKey();
  EXPECT_EQ(Run(u""), 0u);

  EXPECT_EQ(Targets({u"recycled", u"deleted key"}), listed);
  EXPECT_EQ(ReadText(kProfiles, u""), kMetricProfile);
  for (const std::u16string& record : records) {
    if (record.starts_with(u"2,0,")) {
      EXPECT_FALSE(KeyExists(record.substr(4))) << pf::Utf16ToUtf8(record);
    } else {
      EXPECT_FALSE(pf::PathExists(record.substr(2))) << pf::Utf16ToUtf8(record);
    }
  }
  // Each key was saved before it went.
  for (const char16_t* saved : {u"1", u"2"}) {
    std::string bytes;
    std::vector<pf::RegFileKey> keys;
    pf::RegFileError error;
    ASSERT_TRUE(vk::test::ReadWholeFile(
        root_.Join(u"Temp\\kvuninstall-VELKOR RUR15-" + std::u16string(saved) + u".reg"), &bytes));
    ASSERT_TRUE(pf::ReadRegFile(bytes, &keys, &error));
    ASSERT_FALSE(keys.empty());
    EXPECT_TRUE(keys[0].path == u"HKEY_CURRENT_USER\\" + std::u16string(kDemoAddonProfile) ||
                keys[0].path == u"HKEY_CURRENT_USER\\Software\\Kavrin\\VELKOR RUR15")
        << pf::Utf16ToUtf8(keys[0].path);
  }
  const std::vector<std::u16string> trash = trash_.Items();
  for (const char16_t* item :
       {u"kvuninstall-VELKOR RUR15-VELKOR RUR15.reg", u"Plot Styles", u"Support", u"KvAdIsolationStockTools.atc", u"KvAdDormerStockTools.atc",
        u"VELKOR RUR15", u"KvUnInstall.log", u"Logs"}) {
    EXPECT_NE(std::find(trash.begin(), trash.end(), item), trash.end()) << pf::Utf16ToUtf8(item);
  }
  // What the user keeps elsewhere stays, and so does the folder holding it.
  EXPECT_EQ(ReadTree(OneUser()), (std::map<std::u16string, std::string>{
                                     {u"moje pozn\u00E1mky.txt", "the user's own, not recorded"}}));
  EXPECT_EQ(ReadTree(AcadUser()).at(u"Support\\RegisteredTools\\acad.atc"), "AutoCAD's");
  EXPECT_FALSE(pf::PathExists(LocalAppData() + u"\\Kavrin"));
  EXPECT_EQ(ReadText(kRunKey, u"KVUNINSTALL"), u"<missing>");
  EXPECT_TRUE(Snapshot(u"Software\\Kavrin").empty());

  // A second logon changes nothing and has nothing to report.
  const UserState cleaned = State();
  EXPECT_EQ(Run(u""), 0u);
  EXPECT_EQ(State(), cleaned);
  EXPECT_FALSE(pf::PathExists(ReportPath()));
}

TEST_F(KvUnInstallTest, RecordsOutsideTheLaunchersFormsAreSkipped) {
  Launch();
  const std::u16string otherUser =
      root_.Join(u"Users\\other\\AppData\\Roaming\\Kavrin\\VELKOR RUR15");
  PutFile(otherUser, u"Support\\x.lsp", "another user's");
  PutFile(root_.path(), u"Windows\\System32\\drivers\\etc\\hosts", "the system's");
  PutFile(AppData(), u"Kavrin\\VELKOR RUR15 Extra\\f.txt", "a look-alike folder");
  {
    pf::ScopedKey other;
    ASSERT_EQ(pf::CreateKey(pf::CurrentUserRoot(), u"Software\\Kavrin\\Other Product",
                            pf::kKeyAllAccess, other.Receive(), nullptr),
              0);
    ASSERT_EQ(pf::SetStringValue(other.get(), u"x", pf::kRegSz, u"kept"), 0);
  }
  const std::vector<std::u16string> tampered = {
      u"3," + otherUser + u"\\Support",
      u"3," + root_.Join(u"Windows\\System32"),
      u"4," + root_.Join(u"Windows\\System32\\drivers\\etc\\hosts"),
      u"3," + OneUser() + u"\\..\\..\\..\\Windows",
      u"4," + AcadUser() + u"\\Support\\RegisteredTools\\*.atc",
      u"3," + AppData() + u"\\Autodesk",
      u"3," + AppData() + u"\\Kavrin\\VELKOR RUR15 Extra",
      u"2,0,Software\\Microsoft",
      u"2,0,Software\\Kavrin\\Other Product",
      u"2,0,Software\\Kavrin",
      u"2,0,Software\\Autodesk\\AutoCAD\\R24.3\\ACAD-7104:405\\Profiles\\" +
          std::u16string(kMetricProfile),
      u"5,whatever",
  };
  std::string log = Log();
  for (const std::u16string& line : tampered) log += pf::Utf16ToCodePage(line).value() + "\r\n";
  ASSERT_TRUE(vk::test::WriteWholeFile(OneUser() + u"\\KvUnInstall.log", log));

  // Run by an administrator: at once, whatever the machine key says.
  EXPECT_EQ(Run(u"-r \"VELKOR RUR15\""), 0u);
  EXPECT_FALSE(KeyExists(kDemoAddonProfile));
  std::set<std::u16string> skipped;
  for (const std::u16string& line : Report()) {
    if (line.starts_with(u"VELKOR RUR15: skipped: ")) {
      skipped.insert(line.substr(23, line.rfind(u" (") - 23));
    }
  }
  EXPECT_EQ(skipped, std::set<std::u16string>(tampered.begin(), tampered.end()));
  EXPECT_EQ(ReadTree(otherUser).size(), 1u);
  EXPECT_TRUE(pf::PathExists(root_.Join(u"Windows\\System32\\drivers\\etc\\hosts")));
  EXPECT_TRUE(pf::PathExists(AppData() + u"\\Kavrin\\VELKOR RUR15 Extra\\f.txt"));
  EXPECT_EQ(ReadTree(AcadUser()).at(u"Support\\RegisteredTools\\acad.atc"), "AutoCAD's");
  EXPECT_TRUE(KeyExists(u"Software\\Microsoft\\Windows\\CurrentVersion\\Run"));
  EXPECT_EQ(ReadText(u"Software\\Kavrin\\Other Product", u"x"), u"kept");
  EXPECT_TRUE(KeyExists(std::u16string(kProfiles) + u"\\" + kMetricProfile));
}

TEST_F(KvUnInstallTest, DamagedAndTamperedRecordsReachNoneOfTheUsersFiles) {
  Launch();
  RemoveMachineKey();
  // The user's own files, which the records below would reach.
  const std::u16string documents = root_.Join(u"Documents");
  PutFile(documents, u"keep.txt", "the user's");
  PutFile(documents, u"Thesis\\ch1.txt", "the user's");
  PutFile(documents, u"Sup\\Profiles\\VELKOR RUR15\\mine.txt", "the user's");
  PutFile(AcadUser(), u"Support\\acad.lsp", "the user's");
  PutFile(OneUser(), u"moje.txt", "the user's");
  const std::map<std::u16string, std::string> documentsBefore = ReadTree(documents);
  const std::map<std::u16string, std::string> acadBefore = ReadTree(AcadUser());

  const std::u16string overlong = OneUser() + u"\\" + std::u16string(300000, u'a');
  std::vector<std::u16string> hostile = {
      u"3," + AcadUser() + u"\\Support",
      u"3," + AppData() + u"\\Autodesk\\ACA 2024",
      u"3," + AppData() + u"\\Autodesk\\" + std::u16string(1, u'\0') +
          u"\\x\\Support\\Profiles\\VELKOR RUR15",
      u"3," + overlong,
  };
  // An 8.3 name of AutoCAD's product folder, where the file system has them.
  if (std::u16string shortName;
      pf::ShortComponentName(AppData() + u"\\Autodesk\\ACA 2024", &shortName)) {
    hostile.push_back(u"3," + AppData() + u"\\Autodesk\\" + shortName);
  }
  // Links leading out of the accepted folders, and one that is itself the item.
  ASSERT_EQ(pf::MakeFolderPath(AppData() + u"\\Autodesk\\Other"), 0);
  const bool links =
      vk::test::MakeSymbolicLink(documents, OneUser() + u"\\Linked") &&
      vk::test::MakeSymbolicLink(documents + u"\\Sup", AppData() + u"\\Autodesk\\Other\\Support") &&
      vk::test::MakeSymbolicLink(documents, OneUser() + u"\\Docs");
  if (links) {
    hostile.push_back(u"3," + OneUser() + u"\\Linked\\Thesis");
    hostile.push_back(u"4," + OneUser() + u"\\Linked\\keep.txt");
    hostile.push_back(u"3," + AppData() + u"\\Autodesk\\Other\\Support\\Profiles\\VELKOR RUR15");
    hostile.push_back(u"3," + OneUser() + u"\\Docs");
  } else {
    ADD_FAILURE() << "no symbolic links here: the link records went untested";
  }
  // Last, a record cut short where an append stopped: the product folder.
  hostile.push_back(u"3," + OneUser());
  AppendToLog(hostile, false);

  // The overlong record cannot be examined: it stays, and so does the registration.
  EXPECT_EQ(Run(u""), 1u);
  EXPECT_TRUE(Reported(u"kept", NormalisedPath(overlong).substr(0, 200)));
  EXPECT_TRUE(Reported(u"skipped", u"3," + OneUser() + u" (cut short"));
  EXPECT_NE(ReadText(kUninstallKey, kProduct), u"<missing>");
  EXPECT_EQ(ReadTree(documents), documentsBefore);
  EXPECT_EQ(ReadTree(AcadUser()).at(u"Support\\acad.lsp"), "the user's");
  EXPECT_EQ(ReadTree(OneUser()).at(u"moje.txt"), "the user's");
  const std::vector<std::u16string> trash = trash_.Items();
  for (const char16_t* users : {u"ACA 2024", u"csy", u"Autodesk", u"Thesis", u"keep.txt",
                                u"Documents", u"Sup", u"Linked", u"acad.lsp"}) {
    EXPECT_EQ(std::find(trash.begin(), trash.end(), users), trash.end()) << pf::Utf16ToUtf8(users);
  }
  // The launcher's own items went all the same; the link went as a link.
  for (const char16_t* launchers : {u"Plot Styles", u"KvAdIsolationStockTools.atc",
                                    u"KvAdDormerStockTools.atc", u"VELKOR RUR15"}) {
    EXPECT_NE(std::find(trash.begin(), trash.end(), launchers), trash.end())
        << pf::Utf16ToUtf8(launchers);
  }
  // A link goes as a link; where the bin would take its target instead
  // (Wine), it stays, and the report says so.
  if (links) {
    const std::u16string docs = NormalisedPath(OneUser() + u"\\Docs");
    const bool recycled = std::find(trash.begin(), trash.end(), u"Docs") != trash.end();
    EXPECT_EQ(Reported(u"recycled", docs), recycled);
    EXPECT_EQ(Reported(u"kept", docs), !recycled);
  }
  EXPECT_FALSE(pf::PathExists(AcadUser() + u"\\Support\\Profiles\\VELKOR RUR15"));
}

TEST_F(KvUnInstallTest, ALogPastItsBoundIsNoLogOfTheLaunchersAndStays) {
  Launch();
  RemoveMachineKey();
  ASSERT_TRUE(vk::test::ResizeFile(OneUser() + u"\\KvUnInstall.log",
                                   profile::kMaxUninstallLogSize + 1));
  const UserState before = State();
  EXPECT_EQ(Run(u""), 1u);
  EXPECT_EQ(State(), before);
}

TEST_F(KvUnInstallTest, ALaunchHoldingTheProductsLockHoldsTheCleanUpBack) {
  Launch();
  RemoveMachineKey();
  const UserState installed = State();
  pf::ProcessInformation process;
  {
    const pf::UserLock launch(kProduct, std::chrono::milliseconds(0));
    ASSERT_TRUE(launch.held());
    ASSERT_EQ(pf::StartProcess(u"\"" + std::u16string(VK_UNINSTALLER_EXE) + u"\"", std::nullopt,
                               &process),
              0);
    uint32_t exitCode = 99;
    EXPECT_FALSE(pf::WaitForExit(process, 1500, &exitCode)) << "KVUnInstall did not wait";
    EXPECT_EQ(State(), installed);
  }
  uint32_t exitCode = 99;
  ASSERT_TRUE(pf::WaitForExit(process, 60000, &exitCode)) << "KVUnInstall did not end";
  EXPECT_EQ(exitCode, 0u);
  registry_.Refresh();
  EXPECT_FALSE(KeyExists(kDemoAddonProfile));
}

TEST_F(KvUnInstallTest, ARoamingUserWhereTheLauncherNeverRanLosesNothing) {
  Launch();
  RemoveMachineKey();
  // The local application data does not roam: the launch log folder is not here.
  ASSERT_EQ(pf::ReplaceFileAtomically(LocalAppData() + u"\\Kavrin", root_.Join(u"other machine")),
            0);
  const UserState arrived = State();
  EXPECT_EQ(Run(u""), 0u);
  EXPECT_EQ(State(), arrived);
  EXPECT_EQ(ReadText(kUninstallKey, kProduct), u"-r \"VELKOR RUR15\" -p \"VELKOR RUR15\"");
}

TEST_F(KvUnInstallTest, AnItemTheRecycleBinCannotTakeStaysForTheNextLogon) {
  Launch();
  RemoveMachineKey();
  // A trash that cannot be made: no item can be recycled, and none is deleted.
  ASSERT_TRUE(vk::test::WriteWholeFile(root_.Join(u"xdg\\Trash"), ""));
  EXPECT_EQ(Run(u""), 1u);
  EXPECT_TRUE(pf::FolderExists(OneUser() + u"\\Plot Styles"));
  EXPECT_EQ(ReadTree(OneUser()).at(u"Support\\kvstart.lsp"), "the user's own");
  EXPECT_FALSE(Log().empty());
  EXPECT_NE(ReadText(kUninstallKey, kProduct), u"<missing>");
  EXPECT_NE(ReadText(kRunKey, u"KVUNINSTALL"), u"<missing>");

  // A trash on another file system, where a move is a copy and a delete:
  // nothing is deleted, and no key goes without its copy in the bin.
  const std::u16string id = u"vk-trash-" + root_.path().substr(root_.path().size() - 6);
  const std::u16string otherDevice = pf::FolderExists(u"Z:\\dev\\shm")
                                         ? u"Z:\\dev\\shm\\" + id  // Wine's drive of the Unix root
                                         : u"/dev/shm/" + id;
  ASSERT_EQ(pf::RemoveFile(root_.Join(u"xdg\\Trash")), 0);
  {
    const vk::test::ScopedTrash tmpfs(otherDevice);
    const UserState before = State();
    EXPECT_EQ(Run(u""), 1u);
    EXPECT_EQ(State(), before);
    EXPECT_TRUE(Reported(u"kept key", u"HKEY_CURRENT_USER\\" + std::u16string(kDemoAddonProfile)));
    EXPECT_TRUE(Reported(u"kept", NormalisedPath(OneUser() + u"\\Plot Styles")));
  }
  std::error_code ignored;
  std::filesystem::remove_all(std::filesystem::path(otherDevice), ignored);

  EXPECT_EQ(Run(u""), 0u);
  EXPECT_FALSE(pf::PathExists(OneUser() + u"\\Plot Styles"));
  EXPECT_EQ(ReadText(kUninstallKey, kProduct), u"<missing>");
  EXPECT_EQ(ReadText(kRunKey, u"KVUNINSTALL"), u"<missing>");
}

}  // namespace
}  // namespace vk::uninstall
