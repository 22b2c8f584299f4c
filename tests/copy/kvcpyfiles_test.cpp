#include "copy/kvcpyfiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <random>
#include <set>
#include <stdexcept>

#include "platform/files.h"
#include "platform/place_file.h"
#include "platform/registry.h"
#include "platform/text.h"
#include "tests/copy/copy_test_support.h"
#include "tests/support/read_only.h"
#include "tests/support/test_paths.h"

namespace vk::copy::test {
namespace {

using vk::test::ReadWholeFile;
using vk::test::TempFolder;
using vk::test::WriteWholeFile;

class CopyTreeTest : public testing::Test {
 protected:
  std::u16string Source() const { return folder_.Join(u"install\\UserDataCache"); }
  std::u16string Target() const { return folder_.Join(u"user"); }
  void SetUp() override {
    ASSERT_EQ(platform::MakeFolder(folder_.Join(u"install")), platform::kErrorSuccess);
    ASSERT_EQ(platform::MakeFolder(Source()), platform::kErrorSuccess);
  }
  int Copy(CopyStatus* status = nullptr, std::u16string_view list = u"") {
    engine_.SetStatusWindow(status);
    return engine_.CopyFiles(Source(), Target(), list, false);
  }

  TempFolder folder_;
  kvcpyfiles engine_;
};

// Random trees over targets that partly exist already: every existing file
// stays as it was, every other file arrives whole, and a folder is made only
// where a file arrives.
TEST_F(CopyTreeTest, NeverChangesAnExistingFileAndMakesFoldersOnlyForFiles) {
  for (unsigned seed = 1; seed <= 6; ++seed) {
    SCOPED_TRACE(seed);
    TempFolder round;
    const std::u16string source = round.Join(u"source");
    const std::u16string target = round.Join(u"target");
    ASSERT_EQ(platform::MakeFolder(source), platform::kErrorSuccess);
    ASSERT_EQ(platform::MakeFolder(target), platform::kErrorSuccess);
    std::mt19937 random(seed);
    std::vector<std::u16string> folders = {u""};
    std::set<std::u16string> filled;  // folders that get a file
    std::map<std::u16string, std::string> existing;
    for (int i = 0; i < 40; ++i) {
      const std::u16string& parent = folders[random() % folders.size()];
      const std::u16string name = u"n" + std::u16string(1, char16_t(u'a' + random() % 26)) +
                                  std::u16string(1, char16_t(u'0' + i % 10));
      if (random() % 3 == 0) {
        const std::u16string folder = parent + name + u"\\";
        if (platform::MakeFolder(source + u"\\" + folder) == platform::kErrorSuccess) {
          folders.push_back(folder);
        }
        continue;
      }
      const std::string bytes(random() % 3000, char('A' + i % 26));
      PutFile(source, parent + name + u".dat", bytes);
      filled.insert(parent);
      if (random() % 4 == 0) {
        PutFile(target, parent + name + u".dat", "the user's own");
        existing[parent + name + u".dat"] = "the user's own";
      }
    }
    kvcpyfiles engine;
    const int copied = engine.CopyFiles(source, target, u"", false);

    const auto sourceFiles = ReadTree(source);
    const auto targetFiles = ReadTree(target);
    EXPECT_EQ(copied, static_cast<int>(sourceFiles.size() - existing.size()));
    EXPECT_EQ(targetFiles.size(), sourceFiles.size());
    for (const auto& [path, bytes] : sourceFiles) {
      const auto found = targetFiles.find(path);
      ASSERT_NE(found, targetFiles.end());
      const auto own = existing.find(path);
      EXPECT_EQ(found->second, own == existing.end() ? bytes : own->second);
    }
    for (const std::u16string& folder : folders) {
      const bool holdsFile = std::any_of(filled.begin(), filled.end(), [&](const auto& f) {
        return f.compare(0, folder.size(), folder) == 0;
      });
      EXPECT_EQ(platform::FolderExists(target + u"\\" + folder), holdsFile) << folder.size();
    }
  }
}

// A status line that ends the run after some files, as a launcher ended from
// the task manager would.
class InterruptingStatus : public RecordingStatus {
 public:
  explicit InterruptingStatus(size_t after) : after_(after) {}
  void SetText(std::u16string_view fileName) override {
    RecordingStatus::SetText(fileName);
    if (names.size() == after_) throw std::runtime_error("ended");
  }

 private:
  size_t after_;
};

TEST_F(CopyTreeTest, AnInterruptedCopyLeavesNoTruncatedFileAndTheNextRunCompletesIt) {
  for (int i = 0; i < 12; ++i) {
    PutFile(Source(), (i % 3 == 0 ? u"Support\\f" : u"f") + std::u16string(1, char16_t(u'a' + i)),
            std::string(1000 + i * 500, char('a' + i)));
  }
  const auto sourceFiles = ReadTree(Source());
  std::mt19937 random(7);
  const size_t stop = 1 + random() % (sourceFiles.size() - 2);
  InterruptingStatus interrupting(stop);
  engine_.SetStatusWindow(&interrupting);
  EXPECT_THROW(engine_.CopyFiles(Source(), Target(), u"", false), std::runtime_error);
  // The file being copied when the process died: half of it under our
  // temporary name, none under its own.
  auto placed = ReadTree(Target());
  ASSERT_EQ(placed.size(), stop);
  const auto next = std::find_if(sourceFiles.begin(), sourceFiles.end(),
                                 [&](const auto& file) { return !placed.count(file.first); });
  ASSERT_NE(next, sourceFiles.end());
  const std::u16string cut = Target() + u"\\" + next->first;
  PutFile(Target(), std::u16string(platform::PlacementTempPath(next->first)),
          next->second.substr(0, next->second.size() / 2));
  EXPECT_FALSE(platform::PathExists(cut));

  RecordingStatus status;
  EXPECT_EQ(Copy(&status), static_cast<int>(sourceFiles.size() - stop));
  EXPECT_EQ(ReadTree(Target()), sourceFiles);
}

TEST_F(CopyTreeTest, AReadOnlySourceArrivesWritableAndStaysReadOnly) {
  PutFile(Source(), u"aca.cuix", "package");
  const std::u16string source = Source() + u"\\aca.cuix";
  vk::test::ScopedReadOnly readOnly(source);
  ASSERT_TRUE(readOnly.applied());
  EXPECT_EQ(Copy(), 1);
  EXPECT_FALSE(vk::test::IsReadOnly(Target() + u"\\aca.cuix"));
  EXPECT_TRUE(vk::test::IsReadOnly(source));
}

TEST_F(CopyTreeTest, PathsFromAnEmptySettingCopyAndRecordNothing) {
  EXPECT_TRUE(platform::BeginsWithBareBackslash(u"\\UserDataCache"));
  EXPECT_TRUE(platform::BeginsWithBareBackslash(u"\\"));
  EXPECT_FALSE(platform::BeginsWithBareBackslash(u"\\\\server\\share\\UserDataCache"));
  EXPECT_FALSE(platform::BeginsWithBareBackslash(u"C:\\UserDataCache"));
  EXPECT_FALSE(platform::BeginsWithBareBackslash(u""));

  PutFile(Source(), u"a.txt", "a");
  EXPECT_EQ(engine_.CopyFiles(u"\\UserDataCache", Target(), u"", false), 0);
  EXPECT_EQ(engine_.CopyFiles(Source(), u"\\", u"", false), 0);
  EXPECT_EQ(engine_.CopyFiles(u"\\\\", Target(), u"", false), 0);
  EXPECT_TRUE(engine_.copiedFolders().empty());
  EXPECT_FALSE(platform::PathExists(Target()));
}

TEST_F(CopyTreeTest, StatusLineShowsOnlyWhenAFileIsCopiedAndNamesEachFile) {
  PutFile(Source(), u"Support\\acad.pgp", "1");
  PutFile(Target(), u"Support\\acad.pgp", "mine");
  RecordingStatus status;
  EXPECT_EQ(Copy(&status), 0);
  EXPECT_EQ(status.shows, 0);

  PutFile(Source(), u"Support\\DT+\\velkor.cuix", "2");
  PutFile(Source(), u"Support\\DT+\\velkor_a.cuix", "3");
  RecordingStatus second;
  EXPECT_EQ(Copy(&second), 2);
  EXPECT_EQ(second.shows, 1);
  EXPECT_GE(second.dispatches, 1);
  EXPECT_EQ(std::set<std::u16string>(second.names.begin(), second.names.end()),
            (std::set<std::u16string>{u"velkor.cuix", u"velkor_a.cuix"}));
  // A run ends with no status line: the next one shows nothing until told.
  PutFile(Source(), u"later.txt", "4");
  EXPECT_EQ(engine_.CopyFiles(Source(), Target(), u"", false), 1);
  EXPECT_EQ(second.names.size(), 2u);
}

TEST_F(CopyTreeTest, OverwriteReplacesAnExistingFile) {
  PutFile(Source(), u"a.txt", "new");
  PutFile(Target(), u"A.TXT", "old");
  EXPECT_EQ(engine_.CopyFiles(Source(), Target(), u"", true), 1);
  std::string bytes;
  ASSERT_TRUE(ReadWholeFile(Target() + u"\\a.txt", &bytes));
  EXPECT_EQ(bytes, "new");
}

// Copy lists: 8-bit text, comments after ";", blanks and tabs trimmed.
TEST_F(CopyTreeTest, CopyListsSelectFilesAndAMaskNamingAFolderCopiesItWhole) {
  PutFile(Source(), u"a.txt", "a");
  PutFile(Source(), u"b.lsp", "b");
  PutFile(Source(), u"\u010Dty\u0159i.txt", "4");  // "čtyři" in the 8-bit list below
  PutFile(Source(), u"Fonts\\x.shx", "x");
  PutFile(Source(), u"Fonts\\Deep\\y.ttf", "y");
  struct Case {
    const char* list;
    std::vector<std::u16string> masks;
    std::set<std::u16string> copied;
  };
  const Case cases[] = {
      {"; only remarks\r\n\r\n \t \r\n;*.txt\r\n", {}, {}},
      {"  *.lsp ; the routines\r\n", {u"*.lsp"}, {u"b.lsp"}},
      {"\xE8ty\xF8i.txt\r\nb.lsp",
       {u"\u010Dty\u0159i.txt", u"b.lsp"},
       {u"\u010Dty\u0159i.txt", u"b.lsp"}},
      {"\tFonts\t\r\n", {u"Fonts"}, {u"Fonts\\x.shx", u"Fonts\\Deep\\y.ttf"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.list);
    TempFolder target;
    const std::u16string list = folder_.Join(u"install\\copy.lst");
    ASSERT_TRUE(WriteWholeFile(list, c.list));
    const int copied = engine_.CopyFiles(Source(), target.Join(u"to"), list, false);
    EXPECT_EQ(engine_.masks(), c.masks);
    EXPECT_EQ(copied, static_cast<int>(c.copied.size()));
    std::set<std::u16string> names;
    for (const auto& [path, bytes] : ReadTree(target.Join(u"to"))) names.insert(path);
    EXPECT_EQ(names, c.copied);
  }
  engine_.ReadCopyList(folder_.Join(u"no such list"));
  EXPECT_EQ(engine_.masks(), std::vector<std::u16string>{u"*.*"});
}

// The top-most folders that received files, as the log records them.
TEST(CopiedFoldersTest, OnlyTopMostFoldersAreKept) {
  struct Case {
    std::vector<std::u16string> added;
    std::vector<std::u16string> kept;
  };
  const Case cases[] = {
      {{u"C:\\U/", u"C:\\U/Support/"}, {u"C:\\U/"}},
      {{u"C:\\U/Support/", u"C:\\U/"}, {u"C:\\U/"}},
      // The root takes the first subfolder's place; the second one stays.
      {{u"C:\\U/A/", u"C:\\U/B/", u"C:\\U/"}, {u"C:\\U/", u"C:\\U/B/"}},
      {{u"C:\\U/B/", u"C:\\U/A/", u"C:\\U/B/x/"}, {u"C:\\U/B/", u"C:\\U/A/"}},
      {{u"C:\\U/Support/", u"c:\\u/SUPPORT/"}, {u"C:\\U/Support/"}},
  };
  for (const Case& c : cases) {
    kvcpyfiles engine;
    for (const std::u16string& folder : c.added) engine.AddCopiedFolder(folder);
    EXPECT_EQ(engine.copiedFolders(), c.kept);
  }
}

TEST_F(CopyTreeTest, TheLogGainsOneRecordPerFilledFolderOnceAndKeepsAnUnendedLastLine) {
  PutFile(Source(), u"Support\\acad.pgp", "1");
  PutFile(Source(), u"Plot Styles\\a.ctb", "2");
  const std::u16string log = folder_.Join(u"KVUnInstall.log");
  const std::string root = "3," + platform::Utf16ToUtf8(Target());
  const std::string support = root + "/Support/";
  const std::string plot = root + "/Plot Styles/";
  std::string upper = support;
  for (char& c : upper) c = static_cast<char>(std::toupper(c));
  // The user's last line has no end; a record already there in other letter
  // case does not count.
  ASSERT_TRUE(WriteWholeFile(log, "2,0,Software\\Kavrin\r\n" + plot + "\r\n" + upper));
  EXPECT_EQ(Copy(), 2);
  engine_.WriteUninstallLog(folder_.Join(u"KvUnInstall.LOG"));
  std::string bytes;
  ASSERT_TRUE(ReadWholeFile(log, &bytes));
  EXPECT_EQ(bytes, "2,0,Software\\Kavrin\r\n" + plot + "\r\n" + upper + "\r\n" + support + "\r\n");

  // A later run that fills the root records the root alone.
  PutFile(Source(), u"root.txt", "3");
  EXPECT_EQ(Copy(), 1);
  engine_.WriteUninstallLog(log);
  engine_.WriteUninstallLog(log);
  ASSERT_TRUE(ReadWholeFile(log, &bytes));
  EXPECT_EQ(bytes, "2,0,Software\\Kavrin\r\n" + plot + "\r\n" + upper + "\r\n" + support + "\r\n" +
                       root + "/\r\n");
}

// Folders whose records the log holds leave the list; a run that filled no
// folder still leaves a log behind, except at a path from an empty setting.
TEST_F(CopyTreeTest, RecordsAlreadyLoggedLeaveTheListAndTheLogIsMadeEvenWithoutRecords) {
  const std::u16string log = folder_.Join(u"KVUnInstall.log");
  engine_.WriteUninstallLog(log);
  std::string bytes;
  ASSERT_TRUE(ReadWholeFile(log, &bytes));
  EXPECT_EQ(bytes, "");
  engine_.WriteUninstallLog(u"\\KVUnInstall.log");
  EXPECT_FALSE(platform::PathExists(u"\\KVUnInstall.log"));

  for (const char16_t* folder : {u"C:\\A/", u"C:\\B/", u"C:\\C/", u"C:\\D/"}) {
    engine_.AddCopiedFolder(folder);
  }
  ASSERT_TRUE(WriteWholeFile(log, "3,C:\\B/\r\n3,C:\\c/\r\n3,C:\\D/"));
  engine_.WriteUninstallLog(log);
  EXPECT_EQ(engine_.copiedFolders(), (std::vector<std::u16string>{u"C:\\A/", u"C:\\C/"}));
  ASSERT_TRUE(ReadWholeFile(log, &bytes));
  EXPECT_EQ(bytes, "3,C:\\B/\r\n3,C:\\c/\r\n3,C:\\D/\r\n3,C:\\A/\r\n3,C:\\C/\r\n");
}

}  // namespace
}  // namespace vk::copy::test
