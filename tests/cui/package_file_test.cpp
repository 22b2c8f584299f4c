#include "cui/package_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "cui/package_contents.h"
#include "cui/package_entries.h"
#include "platform/files.h"
#include "tests/cui/package_test_support.h"
#include "tests/support/test_paths.h"
#include "xml/node.h"

namespace vk::cui::test {
namespace {

using vk::test::ReadWholeFile;
using vk::test::TempFolder;
using vk::test::WriteWholeFile;
using xml::XmlDocument;
using xml::XmlNode;

const std::string kLocalExtra = std::string("\x20\xA2\x14\x00", 4) + std::string(20, '\0');
const std::string kCentralExtra = std::string("\xFE\xCA\x04\x00\x01\x02\x03\x04", 8);
const std::string kBom = "\xEF\xBB\xBF";
const std::string kRels = PartXml("Relationships", "r");

// Every case of the archive layer in one package: a part whose member name
// differs in case, both spellings of the relationship member, a part with a
// byte-order mark, a binary member, an empty one and a second member of a
// part's name.
std::vector<TestMember> MixedMembers() {
  std::vector<TestMember> members(7);
  members[0] = {"header.CUI", PartXml("CustSection", "h")};
  members[0].comment = "header comment";
  members[0].localExtra = kLocalExtra;
  members[0].centralExtra = kCentralExtra;
  members[0].externalAttributes = 0x20;
  members[1] = {"_rels\\.rels", kRels, 0};
  members[2] = {"_rels/.rels", kRels, 0};
  members[3] = {"MenuGroup.cui", kBom + PartXml("MenuGroup", "m")};
  members[4] = {"image.bmp", std::string("BM\0\x01\xFF\x7F binary", 14)};
  members[4].comment = "picture";
  members[4].localExtra = kLocalExtra;
  members[4].centralExtra = kCentralExtra;
  members[4].dosDate = 0x4F21A3C7;
  members[4].internalAttributes = 1;
  members[4].externalAttributes = 0x81A40000;
  members[5] = {"empty.txt", "", 0};
  members[6] = {"MenuGroup.cui", "second member, no XML <"};
  // minizip marks the members that it deflates and finds to be text as text.
  for (size_t i : {0, 3, 6}) members[i].internalAttributes = 1;
  return members;
}

const std::string kArchiveComment = "archive comment \xC4\x8D";

class PackageFileTest : public testing::Test {
 protected:
  void SetUp() override {
    path_ = folder_.Join(u"menu.cuix");
    ASSERT_TRUE(WriteTestPackage(path_, MixedMembers(), kArchiveComment));
  }

  XmlDocument Open() { return XmlDocument(OpenCustomisationFile(path_)); }

  TempFolder folder_;
  std::u16string path_;
};

TEST_F(PackageFileTest, ReadsRecognisedPartsInPartNameOrder) {
  XmlDocument package = Open();
  ASSERT_NE(package, nullptr);
  EXPECT_FALSE(package->name);
  EXPECT_EQ(package->next, nullptr);
  std::vector<std::u16string> parts;
  for (XmlNode* part = package->firstChild; part != nullptr; part = part->next) {
    parts.emplace_back(part->name.view());
    ASSERT_NE(part->firstChild, nullptr);
    EXPECT_EQ(part->parent, package.get());
    for (XmlNode* node = part->firstChild; node != nullptr; node = node->next) {
      EXPECT_EQ(node->parent, part);
    }
    xml::extraData* extra = xml::NodeExtra(part->firstChild);
    ASSERT_NE(extra, nullptr);
    ASSERT_EQ(extra->kind, kPartNameDataKind);
    const char16_t* entryName = static_cast<extraDataFileName*>(extra)->entryName;
    EXPECT_EQ(std::u16string_view(entryName), part->name.view());
    EXPECT_NE(std::find(PackagePartNames.begin(), PackagePartNames.end(), entryName),
              PackagePartNames.end());
  }
  EXPECT_EQ(parts, (std::vector<std::u16string>{u"Header.cui", u"MenuGroup.cui", u"_rels\\.rels"}));

  XmlNode* header = FindPart(package.get(), u"Header.cui");
  XmlNode* root = xml::NodeFindByName(header->firstChild, u"CustSection");
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->value.view(), u"h");
  EXPECT_TRUE(IsPackageDocument(root));
  // The first member of a name is the part; the second one is not parsed.
  XmlNode* menuGroup =
      xml::NodeFindByName(FindPart(package.get(), u"MenuGroup.cui")->firstChild, u"MenuGroup");
  ASSERT_NE(menuGroup, nullptr);
  EXPECT_EQ(menuGroup->value.view(), u"m");
}

TEST_F(PackageFileTest, SaveRewritesPartsAndKeepsEveryOtherMember) {
  XmlDocument package = Open();
  ASSERT_NE(package, nullptr);
  XmlNode* root =
      xml::NodeFindByName(FindPart(package.get(), u"Header.cui")->firstChild, u"CustSection");
  ASSERT_TRUE(xml::NodeSetValue(root, u"edited"));
  ASSERT_EQ(SaveCustomisationFile(path_, package.get(), false), kSaveOk);

  PackageContents saved;
  ASSERT_TRUE(LoadPackageEntries(&saved, path_));
  EXPECT_EQ(saved.comment, kArchiveComment);
  EXPECT_EQ(saved.entryCount, 7u);
  const std::vector<TestMember> members = MixedMembers();
  ASSERT_EQ(saved.entries.size(), members.size());
  for (size_t i = 0; i < members.size(); ++i) {
    SCOPED_TRACE(members[i].name);
    const PackageEntry& entry = saved.entries[i];
    // Parts keep the name they were stored under.
    EXPECT_EQ(entry.name, members[i].name);
    EXPECT_EQ(entry.comment, members[i].comment);
    EXPECT_EQ(entry.localExtra, members[i].localExtra);
    EXPECT_EQ(entry.centralExtra, members[i].centralExtra);
    EXPECT_EQ(entry.header.compressionMethod, static_cast<uint32_t>(members[i].method));
    EXPECT_EQ(entry.header.dosDate, members[i].dosDate);
    EXPECT_EQ(entry.header.internalAttributes, members[i].internalAttributes);
    EXPECT_EQ(entry.header.externalAttributes, members[i].externalAttributes);
    const bool isPart = i == 0 || i == 1 || i == 3;
    if (!isPart) {
      EXPECT_EQ(entry.content, members[i].content);
      EXPECT_EQ(entry.header.crc, Crc(entry.content));
    }
  }
  EXPECT_NE(saved.entries[0].content.find("<CustSection>edited</CustSection>"), std::string::npos);
  // The part's byte-order mark stays in front of its text.
  EXPECT_EQ(saved.entries[3].content.substr(0, 3), kBom);
  EXPECT_EQ(saved.entries[3].content.substr(3, 5), "<?xml");

  XmlDocument reopened = Open();
  ASSERT_NE(reopened, nullptr);
  XmlNode* edited =
      xml::NodeFindByName(FindPart(reopened.get(), u"Header.cui")->firstChild, u"CustSection");
  ASSERT_NE(edited, nullptr);
  EXPECT_EQ(edited->value.view(), u"edited");
}

TEST_F(PackageFileTest, PartCreatedByAnEditIsStoredUnderItsName) {
  XmlDocument package = Open();
  ASSERT_NE(package, nullptr);
  XmlNode* part = xml::NodeChild(package.get(), u"RibbonRoot.cui", true);
  ASSERT_NE(xml::NodeChild(part, u"RibbonRoot", true), nullptr);
  ASSERT_EQ(SaveCustomisationFile(path_, package.get(), false), kSaveOk);

  PackageContents saved;
  ASSERT_TRUE(LoadPackageEntries(&saved, path_));
  ASSERT_EQ(saved.entries.size(), 8u);
  const PackageEntry& added = saved.entries.back();
  EXPECT_EQ(added.name, "RibbonRoot.cui");
  EXPECT_EQ(added.content, "<RibbonRoot />");
  // A new member takes its header fields from the first member.
  EXPECT_EQ(added.header.compressionMethod, static_cast<uint32_t>(Z_DEFLATED));
  EXPECT_EQ(added.comment, "header comment");

  XmlDocument reopened = Open();
  ASSERT_NE(reopened, nullptr);
  EXPECT_NE(FindPart(reopened.get(), u"RibbonRoot.cui"), nullptr);
}

TEST_F(PackageFileTest, OpensAndSavesUnderANonAsciiPath) {
  const std::u16string folder = folder_.Join(u"slo\u017Eka \u010D\u0159");
  ASSERT_EQ(platform::MakeFolder(folder), 0);
  const std::u16string path = folder + u"\\v\u00FDstup \u016F.cuix";
  ASSERT_TRUE(WriteTestPackage(path, MixedMembers(), kArchiveComment));
  XmlDocument package(OpenCustomisationFile(path));
  ASSERT_NE(package, nullptr);
  EXPECT_EQ(SaveCustomisationFile(path, package.get(), false), kSaveOk);
  XmlDocument reopened(OpenCustomisationFile(path));
  ASSERT_NE(reopened, nullptr);
  EXPECT_EQ(ContainerContents(reopened.get())->entries.size(), 7u);
}

TEST_F(PackageFileTest, PackageWithoutPartsOpensEmptyAndIsNotSaved) {
  const std::u16string path = folder_.Join(u"images.cuix");
  ASSERT_TRUE(WriteTestPackage(path, {{"image.bmp", "BM"}, {"_rels/.rels", kRels, 0}}));
  std::string before;
  ASSERT_TRUE(ReadWholeFile(path, &before));
  XmlDocument package(OpenCustomisationFile(path));
  ASSERT_NE(package, nullptr);
  EXPECT_EQ(package->firstChild, nullptr);
  EXPECT_EQ(SaveCustomisationFile(path, package.get(), false), kSaveFailed);
  std::string after;
  ASSERT_TRUE(ReadWholeFile(path, &after));
  EXPECT_EQ(after, before);
}

TEST_F(PackageFileTest, MalformedPartFailsTheWholePackage) {
  const std::u16string path = folder_.Join(u"broken.cuix");
  ASSERT_TRUE(WriteTestPackage(
      path, {{"MenuGroup.cui", PartXml("MenuGroup")}, {"WorkspaceRoot.cui", "<WorkspaceRoot>"}}));
  EXPECT_EQ(OpenCustomisationFile(path), nullptr);
}

TEST_F(PackageFileTest, SaveOfAPlainTreeToAPackagePathFails) {
  XmlDocument plain(xml::NodeNew(u"Profile", nullptr));
  EXPECT_EQ(SaveCustomisationFile(path_, plain.get(), false), kSaveFailed);
  EXPECT_EQ(SaveCustomisationFile(path_, nullptr, false), kSaveFailed);
  XmlDocument package = Open();
  ASSERT_NE(package, nullptr);
  // Only the container itself is a package document to save.
  EXPECT_EQ(WritePackage(path_, package->firstChild, false), kSaveFailed);
}

TEST(PackagePathTest, EndsInCuixInAnyCase) {
  EXPECT_TRUE(IsPackagePath(u"C:\\Menus\\aca.cuix"));
  EXPECT_TRUE(IsPackagePath(u"aca.CUIX"));
  EXPECT_TRUE(IsPackagePath(u"x.CuIx"));
  EXPECT_TRUE(IsPackagePath(u".cuix"));
  EXPECT_FALSE(IsPackagePath(u"aca.cuix.bak"));
  EXPECT_FALSE(IsPackagePath(u"aca.cui"));
  EXPECT_FALSE(IsPackagePath(u"cuix"));
  EXPECT_FALSE(IsPackagePath(u""));
}

class PlainFileTest : public testing::Test {
 protected:
  TempFolder folder_;
};

TEST_F(PlainFileTest, OpensAndSavesASingleXmlFile) {
  const std::u16string path = folder_.Join(u"Profile.aws");
  ASSERT_TRUE(
      WriteWholeFile(path, "<Profile>\n <StorageRoot>\n  <Ribbon />\n </StorageRoot>\n</Profile>"));
  XmlDocument profile(OpenCustomisationFile(path));
  ASSERT_NE(profile, nullptr);
  EXPECT_EQ(profile->name.view(), u"Profile");
  EXPECT_FALSE(IsPackageDocument(profile->firstChild));
  XmlNode* storage = xml::NodeFindByName(profile->firstChild, u"StorageRoot");
  xml::NodeUnlink(xml::NodeFindByName(storage->firstChild, u"Ribbon"), true);
  ASSERT_EQ(SaveCustomisationFile(path, profile.get(), false), kSaveOk);

  std::string saved;
  ASSERT_TRUE(ReadWholeFile(path, &saved));
  EXPECT_EQ(saved.find("Ribbon"), std::string::npos);
  EXPECT_EQ(saved.substr(0, 9), "<Profile>");
  XmlDocument reopened(OpenCustomisationFile(path));
  ASSERT_NE(reopened, nullptr);
  EXPECT_NE(xml::NodeFindByName(reopened->firstChild, u"StorageRoot"), nullptr);
}

TEST_F(PlainFileTest, OpenGivesNoneForMissingEmptyOrNonXmlFiles) {
  EXPECT_EQ(OpenCustomisationFile(folder_.Join(u"missing.cui")), nullptr);
  EXPECT_EQ(OpenCustomisationFile(folder_.path()), nullptr);
  ASSERT_TRUE(WriteWholeFile(folder_.Join(u"empty.cui"), ""));
  EXPECT_EQ(OpenCustomisationFile(folder_.Join(u"empty.cui")), nullptr);
  ASSERT_TRUE(WriteWholeFile(folder_.Join(u"text.cui"), "plain text"));
  EXPECT_EQ(OpenCustomisationFile(folder_.Join(u"text.cui")), nullptr);
}

TEST_F(PlainFileTest, SaveWithoutDocumentOrIntoAMissingFolderFails) {
  XmlDocument profile(xml::NodeNew(u"Profile", nullptr));
  EXPECT_EQ(SaveCustomisationFile(folder_.Join(u"Profile.aws"), nullptr, false), kSaveNoDocument);
  EXPECT_EQ(SaveCustomisationFile(folder_.Join(u"missing\\Profile.aws"), profile.get(), false),
            kSaveFailed);
  EXPECT_FALSE(platform::PathExists(folder_.Join(u"missing")));
}

}  // namespace
}  // namespace vk::cui::test
