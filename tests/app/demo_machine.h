// The demo machine of scripts/demo.sh for a test: its registry, known
// folders, the stand-in acad.exe and a user who has run AutoCAD once, with
// the launcher started as its own process against it.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/files.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "platform/text.h"
#include "tests/copy/copy_test_support.h"
#include "tests/support/known_folder_redirect.h"
#include "tests/support/message_log.h"
#include "tests/support/reg_fixture.h"
#include "tests/support/scoped_env.h"
#include "tests/support/shared_registry.h"
#include "tests/support/test_paths.h"

namespace vk::app::demo {

namespace pf = vk::platform;

inline constexpr char16_t kDemoAddonProfile[] =
    u"Software\\Autodesk\\AutoCAD\\R24.3\\ACAD-7104:405\\Profiles\\VELKOR RUR15";
inline constexpr char16_t kDemoAddonMachineKey[] = u"SOFTWARE\\Kavrin\\VELKOR RUR15";

inline void DeleteDemoKeys() {
  for (const char16_t* path : {u"Software\\Autodesk\\AutoCAD\\R24.3", u"Software\\Kavrin"}) {
    [[maybe_unused]] const long user = pf::DeleteKeyTree(pf::CurrentUserRoot(), path);
  }
  for (const char16_t* path : {kDemoAddonMachineKey, u"Software\\Autodesk\\AutoCAD\\R24.3"}) {
    [[maybe_unused]] const long machine = pf::DeleteKeyTree(pf::LocalMachineRoot(), path);
  }
}

// A text with every backslash doubled, as a .reg string holds it.
inline std::string RegString(std::u16string_view text) {
  std::string out;
  for (char c : pf::Utf16ToUtf8(text)) {
    out += c;
    if (c == '\\') out += '\\';
  }
  return out;
}

inline void Replace(std::string* text, std::string_view token, const std::string& by) {
  for (size_t at; (at = text->find(token)) != std::string::npos;)
    text->replace(at, token.size(), by);
}

// The lines of a log, in order.
inline std::vector<std::string> Lines(const std::string& bytes) {
  std::vector<std::string> lines;
  size_t begin = 0;
  for (size_t end; (end = bytes.find("\r\n", begin)) != std::string::npos; begin = end + 2) {
    lines.push_back(bytes.substr(begin, end - begin));
  }
  EXPECT_EQ(begin, bytes.size()) << "the last line has no end";
  return lines;
}

class DemoMachineTest : public testing::Test {
 protected:
  void SetUp() override {
    DeleteDemoKeys();
    for (const char16_t* folder :
         {u"Common Files", u"ProgramData", u"AppData", u"LocalAppData", u"AutoCAD 2024"}) {
      ASSERT_EQ(pf::MakeFolder(root_.Join(folder)), 0);
    }
    folders_ = std::make_unique<vk::test::ScopedKnownFolders>(
        root_.Join(u"Common Files"), root_.Join(u"ProgramData"), root_.Join(u"AppData"),
        LocalAppData());
    ASSERT_EQ(pf::CopyFileNoReplace(VK_ACAD_STANDIN_EXE, root_.Join(u"AutoCAD 2024\\acad.exe")), 0);
    // The user has run AutoCAD, and keeps a file of their own where the
    // add-on's copy would go.
    copy::test::PutFile(AcadUser(), u"Support\\RegisteredTools\\acad.atc", "AutoCAD's");
    copy::test::PutFile(AcadUser(), u"Support\\Profiles\\ProjectProfiles\\p.aws", "");
    copy::test::PutFile(OneUser(), u"Support\\kvstart.lsp", "the user's own");

    std::string reg;
    ASSERT_TRUE(vk::test::ReadWholeFile(std::u16string(VK_DEMO_DIR) + u"\\registry.reg", &reg));
    Replace(&reg, "@DEMO@", RegString(VK_DEMO_DIR));
    Replace(&reg, "@ACAD@", RegString(root_.Join(u"AutoCAD 2024")));
    ASSERT_TRUE(vk::test::WriteWholeFile(root_.Join(u"demo.reg"), reg));
    std::u16string error;
    ASSERT_TRUE(vk::test::ApplyRegFile(root_.Join(u"demo.reg"), &error)) << pf::Utf16ToUtf8(error);
    registry_.Refresh();
  }
  void TearDown() override { DeleteDemoKeys(); }

  std::u16string AppData() const { return root_.Join(u"AppData"); }
  std::u16string LocalAppData() const { return root_.Join(u"LocalAppData"); }
  std::u16string AcadUser() const { return root_.Join(u"AppData\\Autodesk\\ACA 2024\\csy"); }
  std::u16string OneUser() const { return root_.Join(u"AppData\\Kavrin\\VELKOR RUR15"); }
  std::u16string Package() const { return OneUser() + u"\\Support\\DT+\\aca.cuix"; }

  static pf::ProcessInformation StartLauncher() {
    pf::ProcessInformation launcher;
    EXPECT_EQ(pf::StartProcess(u"\"" + std::u16string(VK_LAUNCHER_EXE) + u"\" /nologo",
                               std::nullopt, &launcher),
              0);
    return launcher;
  }
  static void ExpectEnds(const pf::ProcessInformation& launcher) {
    uint32_t exitCode = 1;
    EXPECT_TRUE(pf::WaitForExit(launcher, 60000, &exitCode)) << "the launcher did not end";
    EXPECT_EQ(exitCode, 0u);
  }

  // Runs the launcher and returns the arguments AutoCAD received.
  std::vector<std::u16string> Launch() {
    ExpectEnds(StartLauncher());
    registry_.Refresh();
    EXPECT_TRUE(vk::test::TakeMessageLog().empty());
    std::string bytes;
    // The posix launcher does not wait for AutoCAD.
    for (int i = 0; i < 200 && !vk::test::ReadWholeFile(record_, &bytes); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    static_cast<void>(pf::RemoveFile(record_));
    std::vector<std::u16string> args;
    size_t begin = 0;
    for (size_t end; (end = bytes.find('\n', begin)) != std::string::npos; begin = end + 1) {
      const std::string line = bytes.substr(begin, end - begin);
      if (line.starts_with("arg=")) args.push_back(pf::Utf8ToUtf16(line.substr(4)));
    }
    return args;
  }

  // The uninstall log's bytes; empty when it is missing.
  std::string Log() const {
    std::string bytes;
    static_cast<void>(vk::test::ReadWholeFile(OneUser() + u"\\KvUnInstall.log", &bytes));
    return bytes;
  }

  vk::test::TempFolder root_;
  vk::test::ScopedSharedRegistry registry_;
  vk::test::ScopedMessageLog log_;
  std::unique_ptr<vk::test::ScopedKnownFolders> folders_;
  const std::u16string record_ = root_.Join(u"acad.txt");
  vk::test::ScopedEnv recordVariable_{u"VKSTART_ACAD_RECORD", record_};
};

}  // namespace vk::app::demo
