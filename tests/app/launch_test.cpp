// The whole launcher started as a user starts it, against a sandbox: its
// registry, known folders and a stand-in acad.exe that records how it was
// started. Under Wine the boxes are answered by msgbox_helper, which marks a
// box that one of the launcher's windows covers, so every expected message
// text also checks that the box was in sight.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "app/string_table.h"
#include "launchlog/launch_log.h"
#include "platform/command_line.h"
#include "platform/files.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "platform/text.h"
#include "tests/support/known_folder_redirect.h"
#include "tests/support/lock_holder.h"
#include "tests/support/message_log.h"
#include "tests/support/registry_bytes.h"
#include "tests/support/scoped_env.h"
#include "tests/support/shared_registry.h"
#include "tests/support/test_paths.h"

namespace vk::app {
namespace {

namespace pf = vk::platform;

constexpr char16_t kAcadKey[] = u"Software\\VkLaunchTest\\R24.3\\ACAD-7104:405";
constexpr char16_t kAddonKey[] = u"Software\\Kavrin\\VELKOR RUR15";
constexpr char16_t kProfileKey[] =
    u"Software\\VkLaunchTest\\R24.3\\ACAD-7104:405\\Profiles\\VELKOR RUR15";

void DeleteTestKeys() {
  for (pf::RegKey root : {pf::LocalMachineRoot(), pf::CurrentUserRoot()}) {
    for (const char16_t* path : {u"Software\\Kavrin", u"Software\\VkLaunchTest"}) {
      [[maybe_unused]] const long deleted = pf::DeleteKeyTree(root, path);
    }
  }
}

void SetValues(pf::RegKey root, std::u16string_view path,
               std::initializer_list<std::pair<const char16_t*, std::u16string>> values) {
  pf::RegKey key = nullptr;
  ASSERT_EQ(pf::CreateKey(root, path, pf::kKeyAllAccess, &key, nullptr), pf::kErrorSuccess);
  for (const auto& [name, text] : values) EXPECT_EQ(test::SetText(key, name, text), 0);
  pf::CloseKey(key);
}

// The text of a REG_SZ value, or nullopt when it (or its key) is missing.
std::optional<std::u16string> ReadText(std::u16string_view path, std::u16string_view name) {
  pf::RegKey key = nullptr;
  if (pf::OpenKey(pf::CurrentUserRoot(), path, pf::kKeyRead, &key) != 0) return std::nullopt;
  uint8_t data[512];
  uint32_t size = sizeof data;
  const long read = pf::QueryValue(key, name, nullptr, data, &size);
  pf::CloseKey(key);
  if (read != 0) return std::nullopt;
  std::u16string text = pf::Utf16LeToString(data, size);
  if (!text.empty() && text.back() == u'\0') text.pop_back();
  return text;
}

bool KeyExists(std::u16string_view path) {
  pf::RegKey key = nullptr;
  if (pf::OpenKey(pf::CurrentUserRoot(), path, pf::kKeyRead, &key) != 0) return false;
  pf::CloseKey(key);
  return true;
}

// What the stand-in acad.exe recorded: its raw command line (Windows only)
// and its arguments after the program path.
struct AcadRecord {
  std::u16string commandLine;
  std::vector<std::u16string> args;
  std::u16string show;
};

class LaunchTest : public testing::Test {
 protected:
  void SetUp() override {
    DeleteTestKeys();
    for (const char16_t* folder : {u"Common Files", u"ProgramData", u"AppData", u"install"}) {
      ASSERT_EQ(pf::MakeFolder(root_.Join(folder)), 0);
    }
    folders_ = std::make_unique<test::ScopedKnownFolders>(
        root_.Join(u"Common Files"), root_.Join(u"ProgramData"), root_.Join(u"AppData"));
    ASSERT_EQ(pf::MakeFolder(acadLocation_), 0);
    ASSERT_EQ(pf::CopyFileNoReplace(VK_ACAD_STANDIN_EXE, acadLocation_ + u"\\acad.exe"), 0);

    SetValues(pf::LocalMachineRoot(), u"SOFTWARE\\Kavrin\\VELKOR RUR15",
              {{u"AcadPathReg", kAcadKey},
               {u"StartLocation", root_.Join(u"install")},
               {u"Modules", u"DT A H"},
               {u"Version", u"15.0"},
               {u"VersionH", u"15.0.2"}});
    SetValues(pf::LocalMachineRoot(), kAcadKey,
              {{u"AcadLocation", acadLocation_},
               {u"LangAbbrev", u"csy"},
               {u"ProductNameShort", u"ACA 2024"}});
    SetValues(pf::CurrentUserRoot(), std::u16string(kAcadKey) + u"\\aecProfile\\Macros",
              {{u"CD_MENUS", root_.Join(u"Support")}});
  }
  void TearDown() override { DeleteTestKeys(); }

  void SetAcadLocation(const std::u16string& location) {
    SetValues(pf::LocalMachineRoot(), kAcadKey, {{u"AcadLocation", location}});
  }

  // Runs the launcher with `arguments` as typed after its name and waits for
  // it to end; the registry then shows what it wrote.
  void Launch(std::u16string_view arguments) {
    const std::u16string commandLine =
        u"\"" + std::u16string(VK_LAUNCHER_EXE) + u"\" " + std::u16string(arguments);
    pf::ProcessInformation launcher;
    ASSERT_EQ(pf::StartProcess(commandLine, std::nullopt, &launcher), 0) << "cannot start";
    uint32_t exitCode = 1;
    ASSERT_TRUE(pf::WaitForExit(launcher, 60000, &exitCode)) << "the launcher did not end";
    EXPECT_EQ(exitCode, 0u);
    registry_.Refresh();
  }

  // The stand-in's record, once it is there (the posix launcher does not wait
  // for AutoCAD); nullopt when it never appears. Removes it for the next run.
  std::optional<AcadRecord> TakeAcadRecord(std::chrono::milliseconds patience) {
    std::string bytes;
    const auto end = std::chrono::steady_clock::now() + patience;
    while (!test::ReadWholeFile(record_, &bytes)) {
      if (std::chrono::steady_clock::now() >= end) return std::nullopt;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_EQ(pf::RemoveFile(record_), 0);
    AcadRecord record;
    size_t start = 0;
    const std::u16string text = pf::Utf8ToUtf16(bytes);
    bool program = true;
    while (start < text.size()) {
      size_t end_of_line = text.find(u'\n', start);
      if (end_of_line == std::u16string::npos) end_of_line = text.size();
      const std::u16string line = text.substr(start, end_of_line - start);
      start = end_of_line + 1;
      if (line.starts_with(u"cmdline=")) record.commandLine = line.substr(8);
      if (line.starts_with(u"show=")) record.show = line.substr(5);
      if (line.starts_with(u"arg=")) {
        if (!program) record.args.push_back(line.substr(4));
        program = false;
      }
    }
    return record;
  }

  // The line the launcher must hand to AutoCAD for these composed switches.
  std::u16string AcadCommandLine(std::u16string_view switches) const {
    return u"\"" + acadLocation_ + u"\\acad.exe\"" + std::u16string(switches) +
           u" /product \"ACA\" /language \"cs-CZ\"";
  }

  // Launches and checks that AutoCAD received exactly `expected`.
  void ExpectAcadStarted(std::u16string_view arguments, std::u16string_view expected) {
    SCOPED_TRACE(pf::Utf16ToUtf8(arguments));
    Launch(arguments);
    const std::optional<AcadRecord> record = TakeAcadRecord(std::chrono::seconds(10));
    ASSERT_TRUE(record.has_value()) << "AutoCAD was not started";
    const std::u16string line = AcadCommandLine(expected);
    std::vector<std::u16string> args = pf::SplitCommandLine(line);
    args.erase(args.begin());
    EXPECT_EQ(record->args, args);
    // Only Windows has a raw command line; there it must be exactly this one.
    if (!record->commandLine.empty()) {
      EXPECT_EQ(record->commandLine, line);
    }
    // Shown, whatever show command the launcher itself was given.
    if (!record->show.empty()) {
      EXPECT_EQ(record->show, u"5");
    }
    EXPECT_TRUE(test::TakeMessageLog().empty());
  }

  test::TempFolder root_;
  test::ScopedSharedRegistry registry_;
  test::ScopedMessageLog log_;
  std::unique_ptr<test::ScopedKnownFolders> folders_;
  const std::u16string acadLocation_ = root_.Join(u"AutoCAD 2024 č");
  const std::u16string record_ = root_.Join(u"acad.txt");
  test::ScopedEnv recordVariable_{u"VKSTART_ACAD_RECORD", record_};
  const std::u16string enabler_ = acadLocation_ + u"\\AecBase.dbx";
};

TEST_F(LaunchTest, WithoutTheUsersAutoCadProductKeyShowsMessage17AndDoesNothing) {
  ASSERT_EQ(pf::DeleteKeyTree(pf::CurrentUserRoot(), u"Software\\VkLaunchTest"), 0);
  registry_.Refresh();
  Launch(u"");
  EXPECT_EQ(test::TakeMessageLog(), std::vector<std::u16string>{LoadMessageText(17)});
  EXPECT_FALSE(KeyExists(kAddonKey));
  EXPECT_FALSE(TakeAcadRecord(std::chrono::milliseconds(500)).has_value());
}

TEST_F(LaunchTest, FirstStartRecordsTheInstallationAndStartsAutoCad) {
  const std::u16string tail = u" /p \"VELKOR RUR15\" /ld \"" + enabler_ + u"\"";
  const struct {
    const char16_t* typed;
    std::u16string composed;
  } kCases[] = {
      {u"", tail},
      {u"/nologo", u" /nologo" + tail},
      {u"-p Other", tail},
      {u"-ld x", u" /ld \"" + enabler_ + u"\" /p \"VELKOR RUR15\""},
      {u"-b \"my script.scr\"", u" /b \"my script.scr\"" + tail},
      {u"drawing.dwg", u" \"drawing.dwg\"" + tail},
      // A value ending in a backslash, or holding a quote, stays one argument
      // and leaves the forced switches after it intact.
      {u"-s C:\\Support\\", u" /s \"C:\\Support\\\\\"" + tail},
      {u"-b \"a\\\"b\"", u" /b \"a\\\"b\"" + tail},
  };
  for (const auto& c : kCases) {
    // Each case is a first start.
    [[maybe_unused]] const long deleted = pf::DeleteKeyTree(pf::CurrentUserRoot(), kAddonKey);
    registry_.Refresh();
    ExpectAcadStarted(c.typed, c.composed);
    EXPECT_EQ(ReadText(kAddonKey, u"Modules"), u"DT A H");
    EXPECT_EQ(ReadText(kAddonKey, u"Version"), u"15.0");
    EXPECT_EQ(ReadText(kAddonKey, u"VersionH"), u"15.0.2");
  }
}

TEST_F(LaunchTest, ChangedModulesDeleteTheAddonProfileAndAChangedVersionDoesNot) {
  const struct {
    const char16_t* recordedModules;
    const char16_t* recordedVersion;
    bool profileKept;
  } kCases[] = {
      {u"DT A H", u"14.0", true},
      {u"DT", u"15.0", false},
      {u"dt a h", u"15.0", false},  // letter case counts
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(pf::Utf16ToUtf8(c.recordedModules));
    SetValues(pf::CurrentUserRoot(), kAddonKey,
              {{u"Modules", c.recordedModules},
               {u"Version", c.recordedVersion},
               {u"VersionH", u"15.0.2"}});
    SetValues(pf::CurrentUserRoot(), std::u16string(kProfileKey) + u"\\General",
              {{u"ToolPalettePath", u"x"}});
    registry_.Refresh();
    Launch(u"/nologo");
    EXPECT_TRUE(TakeAcadRecord(std::chrono::seconds(10)).has_value());
    EXPECT_EQ(KeyExists(kProfileKey), c.profileKept);
    EXPECT_EQ(ReadText(kAddonKey, u"Modules"), u"DT A H");
    EXPECT_EQ(ReadText(kAddonKey, u"Version"), u"15.0");
  }
}

TEST_F(LaunchTest, MissingAcadShowsMessages5And9WithCode2) {
  const std::u16string missing = root_.Join(u"AutoCAD chybí");
  ASSERT_EQ(pf::MakeFolder(missing), 0);
  SetAcadLocation(missing);
  registry_.Refresh();
  Launch(u"/nologo");
  const std::u16string line = u"\"" + missing + u"\\acad.exe\" /nologo /p \"VELKOR RUR15\" /ld \"" +
                              missing + u"\\AecBase.dbx\" /product \"ACA\" /language \"cs-CZ\"";
  EXPECT_EQ(test::TakeMessageLog(),
            (std::vector<std::u16string>{
                u"Soubor není přístupný.\n Cesta : " + missing + u"\\acad.exe\n Chybový kód : 2",
                u"Soubor nebyl nalezen, nebo jej nelze spustit.\n Cesta : " + line +
                    u"\n Chybový kód : 2"}));
}

// Another launch of the user holds the lock: this one waits with its splash
// up, then, once the other lets go, reads what the other recorded (here a
// changed set of modules, so the add-on profile goes) and starts AutoCAD.
TEST_F(LaunchTest, AnotherLaunchHoldingTheLockIsAwaitedAndWhatItRecordedCounts) {
  // With a local application data folder, for the launch log.
  folders_.reset();
  folders_ = std::make_unique<test::ScopedKnownFolders>(
      root_.Join(u"Common Files"), root_.Join(u"ProgramData"), root_.Join(u"AppData"),
      root_.Join(u"Local"));
  ASSERT_EQ(pf::MakeFolder(root_.Join(u"Local")), 0);
  const std::u16string log = launchlog::LogFolder(u"VELKOR RUR15") + u"\\vkstart.log";
  [[maybe_unused]] const long removed = pf::RemoveFile(log);
  test::ScopedLockHolder other(u"VELKOR RUR15");
  ASSERT_TRUE(other.holding());

  pf::ProcessInformation launcher;
  ASSERT_EQ(pf::StartProcess(u"\"" + std::u16string(VK_LAUNCHER_EXE) + u"\" /nologo", std::nullopt,
                             &launcher),
            0);
  std::string text;
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while ((!test::ReadWholeFile(log, &text) ||
          text.find("lock: another launch of this user holds it") == std::string::npos) &&
         std::chrono::steady_clock::now() < end) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  ASSERT_NE(text.find("lock: another launch of this user holds it"), std::string::npos) << text;
  EXPECT_EQ(text.find("modules:"), std::string::npos) << "nothing is done while waiting";

  // What the other launch records before it lets go.
  SetValues(pf::CurrentUserRoot(), kAddonKey,
            {{u"Modules", u"DT"}, {u"Version", u"15.0"}, {u"VersionH", u"15.0.2"}});
  SetValues(pf::CurrentUserRoot(), std::u16string(kProfileKey) + u"\\General",
            {{u"ToolPalettePath", u"x"}});
  ASSERT_TRUE(other.LetGoAndWait());
  uint32_t exitCode = 1;
  ASSERT_TRUE(pf::WaitForExit(launcher, 60000, &exitCode));
  EXPECT_EQ(exitCode, 0u);
  registry_.Refresh();
  EXPECT_TRUE(TakeAcadRecord(std::chrono::seconds(10)).has_value());
  EXPECT_FALSE(KeyExists(kProfileKey));
  EXPECT_EQ(ReadText(kAddonKey, u"Modules"), u"DT A H");
  ASSERT_TRUE(test::ReadWholeFile(log, &text));
  EXPECT_NE(text.find("lock: taken after "), std::string::npos) << text;
  EXPECT_TRUE(test::TakeMessageLog().empty());
}

TEST_F(LaunchTest, EmptyAcadLocationShowsMessage4AndStartsNothing) {
  SetAcadLocation(u"");
  registry_.Refresh();
  Launch(u"");
  EXPECT_EQ(test::TakeMessageLog(), std::vector<std::u16string>{LoadMessageText(4)});
  EXPECT_FALSE(TakeAcadRecord(std::chrono::milliseconds(500)).has_value());
  EXPECT_EQ(ReadText(kAddonKey, u"Modules"), u"DT A H");
}

}  // namespace
}  // namespace vk::app
