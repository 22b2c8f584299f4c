// On posix a save keeps what the file system says about the target: its
// permission bits, and a symbolic link stays a link to the saved file.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "cui/package_file.h"
#include "platform/native_path_posix.h"
#include "tests/cui/package_test_support.h"
#include "tests/support/test_paths.h"
#include "xml/node.h"

namespace vk::cui::test {
namespace {

using vk::test::TempFolder;
using xml::XmlDocument;

std::string Native(const std::u16string& path) {
  return platform::NativePath(path);
}

// The root element of a plain document or of a package's header part.
xml::XmlNode* Root(const std::u16string& path, xml::XmlNode* document) {
  return IsPackagePath(path) ? FindPart(document, u"Header.cui")->firstChild->next : document;
}

TEST(SaveTargetPosixTest, PermissionsAndLinksAreKept) {
  TempFolder folder;
  const std::u16string package = folder.Join(u"menu.cuix");
  ASSERT_TRUE(WriteTestPackage(package, {{"Header.cui", PartXml("CustSection")}}));
  const std::u16string profile = folder.Join(u"Profile.aws");
  ASSERT_TRUE(vk::test::WriteWholeFile(profile, "<Profile>old</Profile>"));
  ASSERT_EQ(mkdir(Native(folder.Join(u"links")).c_str(), 0755), 0);

  for (const std::u16string& path : {package, profile}) {
    SCOPED_TRACE(Native(path));
    ASSERT_EQ(chmod(Native(path).c_str(), 0640), 0);
    // A relative link in another folder, through a second link.
    const std::u16string name = path.substr(folder.path().size() + 1);
    const std::u16string outer = folder.Join(u"links\\" + name);
    const std::u16string inner = folder.Join(u"links\\inner-" + name);
    ASSERT_EQ(symlink(Native(u"../" + name).c_str(), Native(inner).c_str()), 0);
    ASSERT_EQ(symlink(Native(u"inner-" + name).c_str(), Native(outer).c_str()), 0);

    XmlDocument document(OpenCustomisationFile(outer));
    ASSERT_NE(document, nullptr);
    ASSERT_TRUE(xml::NodeSetValue(Root(path, document.get()), u"new"));
    ASSERT_EQ(SaveCustomisationFile(outer, document.get(), false), kSaveOk);
    struct stat info;
    ASSERT_EQ(lstat(Native(outer).c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    ASSERT_EQ(lstat(Native(inner).c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    ASSERT_EQ(lstat(Native(path).c_str(), &info), 0);
    EXPECT_TRUE(S_ISREG(info.st_mode));
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    XmlDocument saved(OpenCustomisationFile(path));
    ASSERT_NE(saved, nullptr);
    EXPECT_EQ(Root(path, saved.get())->value.view(), u"new");
    EXPECT_NE(access(Native(folder.Join(u"links\\" + name + u".vk-save")).c_str(), F_OK), 0);
    EXPECT_NE(access(Native(path + u".vk-save").c_str(), F_OK), 0);
  }
}

}  // namespace
}  // namespace vk::cui::test
