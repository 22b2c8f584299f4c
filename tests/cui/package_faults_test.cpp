// Archives that lie or break, and saves that fail part-way: the open gives
// none, and a failed save leaves the target as it was.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "cui/package_contents.h"
#include "cui/package_file.h"
#include "cui/save_fault.h"
#include "platform/files.h"
#include "tests/cui/package_test_support.h"
#include "tests/support/scoped_env.h"
#include "tests/support/test_paths.h"
#include "xml/node.h"

namespace vk::cui::test {
namespace {

using vk::test::ReadWholeFile;
using vk::test::TempFolder;
using vk::test::WriteWholeFile;
using xml::XmlDocument;
using xml::XmlNode;

void PatchLe(std::string* bytes, size_t offset, uint32_t value, int width) {
  for (int i = 0; i < width; ++i) (*bytes)[offset + i] = static_cast<char>(value >> (8 * i));
}

// Offset of the central directory record of the only member.
size_t CentralRecord(const std::string& bytes) {
  return bytes.find("PK\x01\x02");
}

class BadPackageTest : public testing::Test {
 protected:
  // Writes the members and returns the archive's bytes.
  std::string Build(const std::vector<TestMember>& members) {
    EXPECT_TRUE(WriteTestPackage(path_, members));
    std::string bytes;
    EXPECT_TRUE(ReadWholeFile(path_, &bytes));
    return bytes;
  }
  bool Opens(const std::string& bytes) {
    EXPECT_TRUE(WriteWholeFile(path_, bytes));
    XmlDocument document(OpenCustomisationFile(path_));
    return document != nullptr;
  }

  TempFolder folder_;
  const std::u16string path_ = folder_.Join(u"bad.cuix");
};

TEST_F(BadPackageTest, ControlPackageOpens) {
  EXPECT_TRUE(Opens(Build({{"Header.cui", PartXml("CustSection")}, {"a.bin", "data", 0}})));
}

TEST_F(BadPackageTest, TruncatedArchiveGivesNone) {
  const std::string bytes = Build({{"Header.cui", PartXml("CustSection")}, {"a.bin", "data", 0}});
  EXPECT_FALSE(Opens(bytes.substr(0, bytes.size() - 10)));
  EXPECT_FALSE(Opens(bytes.substr(0, bytes.size() / 2)));
  EXPECT_FALSE(Opens(bytes.substr(0, 30)));
}

TEST_F(BadPackageTest, WrongCrcGivesNone) {
  TestMember member{"a.bin", "some data", 0};
  member.rawCrc = Crc("some data") ^ 1;
  member.rawSize = 9;
  EXPECT_FALSE(Opens(Build({member})));
  member.method = Z_DEFLATED;
  member.content = RawDeflate("some data");
  EXPECT_FALSE(Opens(Build({member})));
}

TEST_F(BadPackageTest, SizesThatDoNotMatchTheDataGiveNone) {
  const std::string text(5000, 'x');
  TestMember longer{"a.bin", RawDeflate(text)};
  longer.rawCrc = Crc(text);
  longer.rawSize = 5001;
  EXPECT_FALSE(Opens(Build({longer})));
  TestMember shorter = longer;
  shorter.rawSize = 4999;
  EXPECT_FALSE(Opens(Build({shorter})));
  TestMember stored{"a.bin", text, 0};
  stored.rawCrc = Crc(text);
  stored.rawSize = 6000;
  EXPECT_FALSE(Opens(Build({stored})));
  TestMember exact = longer;
  exact.rawSize = 5000;
  EXPECT_TRUE(Opens(Build({exact})));
}

// Incompressible data coded with the fixed codes grows by up to an eighth;
// a package from such an encoder opens all the same.
TEST_F(BadPackageTest, DeflateDataLargerThanItsContentOpens) {
  std::string noise(20000, '\0');
  uint32_t state = 1;
  for (char& c : noise) c = static_cast<char>((state = state * 1103515245u + 12345u) >> 24);
  TestMember fixed{"a.bin", FixedCodeDeflate(noise)};
  ASSERT_GT(fixed.content.size(), noise.size() + noise.size() / 32);
  fixed.rawCrc = Crc(noise);
  fixed.rawSize = static_cast<uint32_t>(noise.size());
  EXPECT_TRUE(Opens(Build({fixed})));
}

TEST_F(BadPackageTest, ImplausibleSizesGiveNone) {
  // Four gigabytes announced for a few bytes of deflate data.
  TestMember huge{"a.bin", RawDeflate("x")};
  huge.rawCrc = Crc("x");
  huge.rawSize = 0xFFFFFFF0u;
  EXPECT_FALSE(Opens(Build({huge})));
  // Compressed data announced far beyond the end of the archive.
  std::string bytes = Build({{"a.bin", "data", 0}});
  PatchLe(&bytes, 18, 0x7FFFFFF0u, 4);
  PatchLe(&bytes, 22, 0x7FFFFFF0u, 4);
  PatchLe(&bytes, CentralRecord(bytes) + 20, 0x7FFFFFF0u, 4);
  PatchLe(&bytes, CentralRecord(bytes) + 24, 0x7FFFFFF0u, 4);
  EXPECT_FALSE(Opens(bytes));
}

TEST_F(BadPackageTest, CommentThatMinizipWouldMisreadGivesNone) {
  // Behind a central extra field whose subfields overrun it, minizip reads
  // the member's comment from the next record.
  TestMember member{"a.bin", "data"};
  member.comment = "comment";
  member.centralExtra = std::string("\xFE\xCA\x10\x00\x01\x02", 6);
  EXPECT_FALSE(Opens(Build({member})));
  // A zip64 subfield, of which minizip reads only the sizes it needs.
  member.centralExtra = std::string("\x01\x00\x08\x00", 4) + std::string(8, '\x11');
  EXPECT_FALSE(Opens(Build({member})));
  member.centralExtra = std::string("\xFE\xCA\x02\x00\x01\x02", 6);
  EXPECT_TRUE(Opens(Build({member})));
  member.comment.clear();
  member.centralExtra = std::string("\xFE\xCA\x10\x00\x01\x02", 6);
  EXPECT_TRUE(Opens(Build({member})));
}

TEST_F(BadPackageTest, AnyBadMemberAmongManyGivesNoneOnAnyThreadCount) {
  std::vector<TestMember> members;
  for (const char* part : {"Header.cui", "MenuGroup.cui", "RibbonRoot.cui", "ToolbarRoot.cui"}) {
    members.push_back({part, PartXml("CustSection", std::string(20000, 'p'))});
  }
  for (int i = 0; i < 4; ++i)
    members.push_back({"image" + std::to_string(i), "pixels", i % 2 == 0 ? Z_DEFLATED : 0});
  for (const size_t workers : {1, 3}) {
    const ScopedPackageWorkers scoped(workers);
    EXPECT_TRUE(Opens(Build(members)));
    for (size_t bad = 0; bad < members.size(); ++bad) {
      SCOPED_TRACE(testing::Message() << workers << " workers, member " << bad);
      // A wrong CRC, and for a part also XML that does not read.
      std::vector<TestMember> broken = members;
      broken[bad].rawCrc = Crc(broken[bad].content) ^ 1;
      broken[bad].rawSize = static_cast<uint32_t>(broken[bad].content.size());
      if (broken[bad].method == Z_DEFLATED) broken[bad].content = RawDeflate(broken[bad].content);
      EXPECT_FALSE(Opens(Build(broken)));
      if (bad < 4) {
        broken = members;
        broken[bad].content.pop_back();
        EXPECT_FALSE(Opens(Build(broken)));
      }
    }
  }
}

TEST_F(BadPackageTest, XmlUnderAPackageNameGivesNone) {
  EXPECT_FALSE(Opens("\xEF\xBB\xBF<?xml version=\"1.0\"?>\r\n<Workspace Name=\"x\" />"));
}

TEST_F(BadPackageTest, EmptyOrMissingFileGivesNone) {
  EXPECT_FALSE(Opens(""));
  EXPECT_EQ(OpenCustomisationFile(folder_.Join(u"missing.cuix")), nullptr);
}

TEST_F(BadPackageTest, MemberThatMinizipCannotWriteFailsTheSaveBeforeAnything) {
  // minizip hands a method it does not know through as stored bytes, so
  // such a package opens; writing that method back is impossible.
  std::string bytes = Build({{"Header.cui", PartXml("CustSection")}, {"a.bin", "data", 0}});
  const size_t local = bytes.find("PK\x03\x04", 4);
  const size_t central = bytes.find("PK\x01\x02", bytes.find("PK\x01\x02") + 4);
  PatchLe(&bytes, local + 8, 12, 2);
  PatchLe(&bytes, central + 10, 12, 2);
  ASSERT_TRUE(WriteWholeFile(path_, bytes));
  XmlDocument package(OpenCustomisationFile(path_));
  ASSERT_NE(package, nullptr);
  ASSERT_EQ(ContainerContents(package.get())->entries[1].content, "data");

  const std::u16string target = folder_.Join(u"target.cuix");
  ASSERT_TRUE(WriteWholeFile(target, "old"));
  EXPECT_EQ(SaveCustomisationFile(target, package.get(), false), kSaveFailed);
  std::string after;
  ASSERT_TRUE(ReadWholeFile(target, &after));
  EXPECT_EQ(after, "old");
  std::vector<platform::FolderItem> items;
  ASSERT_TRUE(platform::ListFolder(folder_.path(), u"*", &items));
  EXPECT_EQ(items.size(), 2u);
}

// Arms a failure at every step of the save in turn until a save succeeds;
// the number of steps that failed.
template <typename Save>
int FailEachStep(const std::u16string& target, Save save) {
  std::string before;
  EXPECT_TRUE(ReadWholeFile(target, &before));
  for (int step = 0; step < 100; ++step) {
    FailSaveStepAfter(step);
    const int result = save();
    FailSaveStepAfter(-1);
    if (result == kSaveOk) return step;
    SCOPED_TRACE(step);
    std::string after;
    EXPECT_TRUE(ReadWholeFile(target, &after));
    EXPECT_EQ(after, before);
    EXPECT_FALSE(platform::PathExists(target + u".vk-save"));
  }
  ADD_FAILURE() << "no save succeeded";
  return -1;
}

class FailingSaveTest : public testing::Test {
 protected:
  void SetUp() override {
    for (const char16_t* name : {u"TMPDIR", u"TMP", u"TEMP"}) {
      scratchEnv_.emplace_back(std::make_unique<vk::test::ScopedEnv>(name, scratch_));
    }
  }
  // No scratch file outlives a save.
  void TearDown() override {
    std::vector<platform::FolderItem> items;
    ASSERT_TRUE(platform::ListFolder(scratch_, u"*", &items));
    EXPECT_TRUE(items.empty());
  }

  TempFolder folder_;
  TempFolder scratchFolder_;
  const std::u16string scratch_ = scratchFolder_.path();
  std::vector<std::unique_ptr<vk::test::ScopedEnv>> scratchEnv_;
};

TEST_F(FailingSaveTest, PackageStaysUntouchedWhateverStepFails) {
  const std::u16string path = folder_.Join(u"menu.cuix");
  const std::vector<TestMember> members = {
      {"Header.cui", PartXml("CustSection")}, {"a.bin", "data", 0}, {"b.bin", "more"}};
  for (const size_t workers : {1, 3}) {
    SCOPED_TRACE(testing::Message() << workers << " workers");
    const ScopedPackageWorkers scoped(workers);
    ASSERT_TRUE(WriteTestPackage(path, members));
    XmlDocument package(OpenCustomisationFile(path));
    ASSERT_NE(package, nullptr);
    ASSERT_TRUE(
        xml::NodeSetValue(FindPart(package.get(), u"Header.cui")->firstChild->next, u"new"));
    // One scratch file for the one part, three members packed on the workers,
    // new archive, three members written, close, replacement.
    EXPECT_EQ(FailEachStep(path, [&] { return SaveCustomisationFile(path, package.get(), false); }),
              10);
    XmlDocument saved(OpenCustomisationFile(path));
    ASSERT_NE(saved, nullptr);
    EXPECT_EQ(FindPart(saved.get(), u"Header.cui")->firstChild->next->value.view(), u"new");
  }
}

TEST_F(FailingSaveTest, PlainFileStaysUntouchedWhateverStepFails) {
  const std::u16string path = folder_.Join(u"Profile.aws");
  ASSERT_TRUE(WriteWholeFile(path, "<Profile>old</Profile>"));
  XmlDocument profile(OpenCustomisationFile(path));
  ASSERT_NE(profile, nullptr);
  ASSERT_TRUE(xml::NodeSetValue(profile.get(), u"new"));
  // Scratch file, new file, write, close, replacement.
  EXPECT_EQ(FailEachStep(path, [&] { return SaveCustomisationFile(path, profile.get(), false); }),
            5);
  std::string saved;
  ASSERT_TRUE(ReadWholeFile(path, &saved));
  EXPECT_EQ(saved, "<Profile>new</Profile>");
}

}  // namespace
}  // namespace vk::cui::test
