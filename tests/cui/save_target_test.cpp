// A read-only file is its user's "do not change this": a save refuses it on
// both backends, whoever runs the program (the tests run as root on posix).
#include <gtest/gtest.h>

#include <string>

#include "cui/package_file.h"
#include "platform/files.h"
#include "tests/cui/package_test_support.h"
#include "tests/support/read_only.h"
#include "tests/support/test_paths.h"
#include "xml/node.h"

namespace vk::cui::test {
namespace {

using vk::test::ReadWholeFile;
using vk::test::TempFolder;
using xml::XmlDocument;

TEST(SaveTargetTest, AReadOnlyTargetIsRefusedAndKept) {
  TempFolder folder;
  const std::u16string package = folder.Join(u"menu.cuix");
  ASSERT_TRUE(WriteTestPackage(package, {{"Header.cui", PartXml("CustSection")}}));
  const std::u16string profile = folder.Join(u"Profile.aws");
  ASSERT_TRUE(vk::test::WriteWholeFile(profile, "<Profile>old</Profile>"));
  for (const std::u16string& path : {package, profile}) {
    XmlDocument document(OpenCustomisationFile(path));
    ASSERT_NE(document, nullptr);
    std::string before;
    ASSERT_TRUE(ReadWholeFile(path, &before));
    {
      const vk::test::ScopedReadOnly readOnly(path);
      ASSERT_TRUE(readOnly.applied());
      EXPECT_EQ(SaveCustomisationFile(path, document.get(), false), kSaveFailed);
      std::string after;
      ASSERT_TRUE(ReadWholeFile(path, &after));
      EXPECT_TRUE(after == before);
      EXPECT_FALSE(platform::PathExists(path + u".vk-save"));
    }
    EXPECT_EQ(SaveCustomisationFile(path, document.get(), false), kSaveOk);
  }
}

}  // namespace
}  // namespace vk::cui::test
