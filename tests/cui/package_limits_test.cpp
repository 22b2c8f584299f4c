// Memory: a package that claims more content than any real one is refused
// before anything of that size is allocated, and running out of memory while
// opening or saving fails that open or save cleanly, leaving the file as it was.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cui/package_file.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "tests/cui/package_test_support.h"
#include "tests/support/allocation_fault.h"
#include "tests/support/scoped_env.h"
#include "tests/support/test_paths.h"
#include "xml/node.h"

namespace vk::cui::test {
namespace {

using vk::test::ReadWholeFile;
using vk::test::ScopedAllocationFailure;
using vk::test::TempFolder;
using xml::XmlDocument;

constexpr size_t kLarge = size_t{8} << 20;

TEST(PackageLimitsTest, ContentBeyondAnyRealPackageIsRefusedUnallocated) {
  TempFolder folder;
  const std::u16string path = folder.Join(u"huge.cuix");
  // 300 MB announced, with enough deflated data (never inflated here) to be
  // plausible for deflate's ratio.
  TestMember huge("a.bin", std::string(300000, '\x03'));
  huge.rawCrc = 0;
  huge.rawSize = 300u << 20;
  ASSERT_TRUE(WriteTestPackage(path, {{"Header.cui", PartXml("CustSection")}, huge}));
  const ScopedAllocationFailure outOfMemory(kLarge);
  EXPECT_EQ(XmlDocument(OpenCustomisationFile(path)), nullptr);
  EXPECT_FALSE(outOfMemory.failed()) << "the announced size was allocated";
}

TEST(PackageLimitsTest, RunningOutOfMemoryFailsTheOpen) {
  // The members are inflated on worker threads.
  const ScopedPackageWorkers workers(3);
  TempFolder folder;
  const std::string big(2 * kLarge, 'x');
  const std::u16string package = folder.Join(u"menu.cuix");
  ASSERT_TRUE(WriteTestPackage(package, {{"Header.cui", PartXml("CustSection")}, {"a.bin", big}}));
  const std::u16string profile = folder.Join(u"Profile.aws");
  ASSERT_TRUE(vk::test::WriteWholeFile(profile, "<Profile>" + big + "</Profile>"));
  for (const std::u16string& path : {package, profile}) {
    const ScopedAllocationFailure outOfMemory(kLarge);
    EXPECT_EQ(XmlDocument(OpenCustomisationFile(path)), nullptr);
    EXPECT_TRUE(outOfMemory.failed());
  }
  EXPECT_NE(XmlDocument(OpenCustomisationFile(package)), nullptr);
}

// Every allocation of a save fails in turn: each failed save leaves the
// target as it was and nothing beside it, and no failure ends the program.
TEST(PackageLimitsTest, RunningOutOfMemoryAnywhereInASaveLeavesTheFile) {
  // Parts are serialised and members packed on worker threads, where the
  // allocations fail as well.
  const ScopedPackageWorkers workers(3);
  TempFolder folder;
  // A scratch file whose removal ran out of memory is the temporary folder's.
  TempFolder scratch;
  const vk::test::ScopedEnv tmpdir(u"TMPDIR", scratch.path());
  const vk::test::ScopedEnv tmp(u"TMP", scratch.path());
  const vk::test::ScopedEnv temp(u"TEMP", scratch.path());
  for (const char16_t* name : {u"menu.cuix", u"Profile.aws"}) {
    const std::u16string path = folder.Join(name);
    if (IsPackagePath(path)) {
      ASSERT_TRUE(WriteTestPackage(path, {{"Header.cui", PartXml("CustSection")}, {"a", "b"}}));
    } else {
      ASSERT_TRUE(vk::test::WriteWholeFile(path, "<Profile>old</Profile>"));
    }
    XmlDocument document(OpenCustomisationFile(path));
    ASSERT_NE(document, nullptr);
    std::string before;
    ASSERT_TRUE(ReadWholeFile(path, &before));
    size_t failures = 0;
    // A save makes some hundreds of allocations; more means it does not settle.
    for (; failures < 20000; ++failures) {
      int result = kSaveOk;
      bool failed = false;
      {
        const ScopedAllocationFailure outOfMemory(0, failures);
        result = SaveCustomisationFile(path, document.get(), false);
        failed = outOfMemory.failed();
      }
      if (!failed) break;
      SCOPED_TRACE(failures);
      std::vector<platform::FolderItem> strays;
      ASSERT_TRUE(platform::ListFolder(scratch.path(), u"*", &strays));
      for (const platform::FolderItem& stray : strays) {
        EXPECT_EQ(platform::RemoveFile(scratch.Join(stray.name)), platform::kErrorSuccess);
      }
      std::string after;
      ASSERT_TRUE(ReadWholeFile(path, &after));
      EXPECT_FALSE(platform::PathExists(path + u".vk-save"));
      if (result != kSaveOk) {
        EXPECT_TRUE(after == before);
      } else {
        // Only the scratch file's removal can fail after the save is done.
        EXPECT_NE(XmlDocument(OpenCustomisationFile(path)), nullptr);
        before = after;
      }
    }
    EXPECT_GT(failures, 0u);
    EXPECT_LT(failures, 20000u);
  }
}

}  // namespace
}  // namespace vk::cui::test
