#include "profile/registry_script.h"

#include <gtest/gtest.h>

#include "platform/text.h"
#include "tests/profile/profile_test_support.h"
#include "tests/support/test_paths.h"

namespace vk::profile {
namespace {

using settings::kEditionA;
using settings::kEditionDT;
using settings::kEditionH;
using settings::Setting;
using test::ReadNumber;
using test::ReadText;
using test::ScriptEncoding;
namespace pf = vk::platform;

constexpr char16_t kKey[] = u"Software\\VkTestProfile\\Script";
constexpr char16_t kKeyLine[] = u"[HKEY_CURRENT_USER\\Software\\VkTestProfile\\Script]";

TEST(OptionsMatchTest, SelectsBlocksByTheInstalledEditions) {
  struct Case {
    const char16_t* options;
    uint32_t flags;
    bool active;
  };
  const Case cases[] = {
      {u"", 0, true},
      {u"Prep}", kEditionDT, true},
      {u"D A H}", 0, true},  // letters without an operator are no condition
      // One satisfied and-condition is not three, and there is no or-condition.
      {u"&D}", kEditionDT, false},
      {u"&D}", 0, false},
      {u"&D !A !H}", kEditionDT, true},
      {u"&D !A !H}", kEditionDT | kEditionA, false},
      {u"&D !A !H}", kEditionDT | kEditionH, false},
      {u"!H&A&D}", kEditionDT | kEditionA, true},
      {u"|D |A}", kEditionDT, true},
      {u"|D |A}", kEditionA, true},
      {u"|D |A}", kEditionH, false},
      {u"|D |A}", 0, false},
      {u"&D |H}", kEditionDT | kEditionH, true},
      {u"&D |H}", kEditionDT, false},
      {u"&D |H}", kEditionH, false},
      {u"!A}", 0, false},  // satisfied, but one of three and no or-condition
      {u"!A |H}", kEditionH, true},
      {u"!A |H}", kEditionA | kEditionH, false},
      // "&" wins over "|" and "|" over "!" for the same letter.
      {u"|D &D}", kEditionA, false},
      {u"!A |A}", kEditionA, true},
      // Exact case: lower-case letters are no condition.
      {u"&d &a}", 0, true},
      {u"Prep |H}", kEditionH, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(OptionsMatch(c.options, c.flags), c.active)
        << pf::Utf16ToUtf8(c.options) << " with flags " << c.flags;
  }
}

TEST(ParseValueLineTest, SplitsAtTheFirstEqualsSign) {
  ScriptValue value;
  EXPECT_FALSE(ParseValueLine(u"Windows Registry Editor Version 5.00", &value));

  ASSERT_TRUE(ParseValueLine(u"\"Formula\"=\"a=b\"", &value));
  EXPECT_EQ(value.name, u"Formula");
  EXPECT_EQ(value.type, pf::kRegSz);
  EXPECT_EQ(value.text, u"a=b");

  ASSERT_TRUE(ParseValueLine(u" \"\"\"Name\"\" \" =  \"\"\"C:\\Path\\\"\"\"  ", &value));
  EXPECT_EQ(value.name, u"Name");
  EXPECT_EQ(value.text, u"C:\\Path\\");

  ASSERT_TRUE(ParseValueLine(u"@=\"default\"", &value));
  EXPECT_EQ(value.name, u"");
  ASSERT_TRUE(ParseValueLine(u"\"@\"=x", &value));
  EXPECT_EQ(value.name, u"");
  ASSERT_TRUE(ParseValueLine(u"\"@@\"=x", &value));
  EXPECT_EQ(value.name, u"@@");

  ASSERT_TRUE(ParseValueLine(u"Empty=", &value));
  EXPECT_EQ(value.type, pf::kRegSz);
  EXPECT_EQ(value.text, u"");
}

TEST(ParseValueLineTest, AnyValueHoldingDwordIsANumber) {
  struct Case {
    const char16_t* line;
    uint32_t number;
  };
  const Case cases[] = {
      {u"\"N\"=dword:0000001f", 31},
      {u"\"N\"=dword:FFFFFFFF", 0xFFFFFFFF},
      {u"\"N\"=dword:1fz9", 31},
      {u"\"N\"=dword:", 0},
      {u"\"N\"=dword", 0},
      {u"\"N\"=\"dword\"", 0},
      {u"\"N\"=\"a dword:12 inside\"", 0x12},
      {u"\"N\"=dword:0000000012345678", 0x12345678},
      {u"\"N\"=dword:123456789", 0xFFFFFFFF},
  };
  for (const Case& c : cases) {
    ScriptValue value;
    ASSERT_TRUE(ParseValueLine(c.line, &value));
    EXPECT_EQ(value.type, pf::kRegDword) << pf::Utf16ToUtf8(c.line);
    EXPECT_EQ(value.number, c.number) << pf::Utf16ToUtf8(c.line);
  }
  ScriptValue value;
  ASSERT_TRUE(ParseValueLine(u"\"N\"=DWORD:1", &value));
  EXPECT_EQ(value.type, pf::kRegSz);
}

class RegistryScriptTest : public test::RegistryTest,
                           public testing::WithParamInterface<ScriptEncoding> {
 protected:
  void SetUp() override {
    RegistryTest::SetUp();
    settings_[Setting::StartLocation] = u"C:\\Program Files\\Kavrin\\VELKOR RUR15";
    settings_[Setting::AcadPathReg] = u"Software\\VkTestProfile\\Acad";
  }

  bool Import(std::u16string_view text, uint32_t flags = kEditionDT) {
    const std::u16string path = folder_.Join(u"prof_tmp.txt");
    test::WriteScript(path, text, GetParam());
    return ImportRegistryScript(path, settings_, flags);
  }

  vk::test::TempFolder folder_;
  settings::Settings settings_;
};

TEST_P(RegistryScriptTest, WritesKeysAndValues) {
  ASSERT_TRUE(
      Import(u"Windows Registry Editor Version 5.00\r\n"
             u"\"Before\"=\"no key yet\"\r\n"
             u"\r\n\r\n"
             u"  [ [HKEY_CURRENT_USER\\Software\\VkTestProfile\\Script] ]  \r\n"
             u"; a remark without an equals sign\r\n"
             u"\"Text\"=\"Metrické jednotky\"\n"
             u"@=\"default\"\r"
             u"\"Number\"=dword:0000001f\r\n"
             u"\"Quoted\"=\"a=b dword\"\n\r"
             u"\"\"Doubled\"\"=\"\"\"tripled\"\"\"\r\n"
             u"\t\"Path\" = \"$$VK_PATH$$\\Support\" \t\r\n"
             u"[HKEY_LOCAL_MACHINE\\Software\\VkTestProfile\\Script]\r\n"
             u"\"Machine\"=\"dropped\"\r\n"
             u"[HKEY_CURRENT_USER\\$$ACAD$$\\$$ACAD$$]\r\n"
             u"\"$$ACAD$$\"=\"$$ACAD$$\""));

  EXPECT_EQ(ReadText(kKey, u"Text"), u"Metrické jednotky");
  EXPECT_EQ(ReadText(kKey, u""), u"default");
  EXPECT_EQ(ReadNumber(kKey, u"Number"), 31);
  EXPECT_EQ(ReadNumber(kKey, u"Quoted"), 0);
  EXPECT_EQ(ReadText(kKey, u"Doubled"), u"tripled");
  EXPECT_EQ(ReadText(kKey, u"Path"), u"C:\\Program Files\\Kavrin\\VELKOR RUR15\\Support");
  EXPECT_EQ(ReadText(kKey, u"Before"), u"<missing>");
  EXPECT_EQ(ReadText(kKey, u"Machine"), u"<missing>");
  const std::u16string nested = u"Software\\VkTestProfile\\Acad\\Software\\VkTestProfile\\Acad";
  EXPECT_EQ(ReadText(nested, u"Software\\VkTestProfile\\Acad"), u"Software\\VkTestProfile\\Acad");

  RegistryValue value;
  ASSERT_TRUE(test::ReadValue(kKey, u"Text", &value));
  EXPECT_EQ(value.type, pf::kRegSz);
  EXPECT_EQ(value.data.size(), pf::StringValueSize(u"Metrické jednotky"));
}

TEST_P(RegistryScriptTest, AnInactiveBlockSkipsItsKeysAndValues) {
  ASSERT_TRUE(Import(std::u16string(kKeyLine) +
                         u"\r\n"
                         u"\"Always\"=\"1\"\r\n"
                         u"{OPTIONS: &D}\r\n"
                         u"[HKEY_CURRENT_USER\\Software\\VkTestProfile\\Skipped]\r\n"
                         u"\"OnlyAnd\"=\"dropped\"\r\n"
                         u"{OPTIONS: &D !A !H}\r\n"
                         u"\"DtOnly\"=\"kept in the key before the inactive block\"\r\n"
                         u"{OPTIONS: |A |H}\r\n"
                         u"\"AOrH\"=\"dropped\"\r\n"
                         u"{OPTIONS:}\r\n"
                         u"\"Again\"=\"2\"\r\n",
                     kEditionDT));
  EXPECT_EQ(ReadText(kKey, u"Always"), u"1");
  EXPECT_EQ(ReadText(kKey, u"OnlyAnd"), u"<missing>");
  EXPECT_FALSE(test::KeyExists(u"Software\\VkTestProfile\\Skipped"));
  EXPECT_EQ(ReadText(kKey, u"DtOnly"), u"kept in the key before the inactive block");
  EXPECT_EQ(ReadText(kKey, u"AOrH"), u"<missing>");
  EXPECT_EQ(ReadText(kKey, u"Again"), u"2");
}

TEST_P(RegistryScriptTest, APrependingBlockPutsItsTextFirstEachTime) {
  {
    pf::ScopedKey key;
    ASSERT_EQ(pf::CreateKey(pf::CurrentUserRoot(), kKey, pf::kKeyAllAccess, key.Receive(), nullptr),
              pf::kErrorSuccess);
    ASSERT_EQ(pf::SetStringValue(key.get(), u"ACAD", pf::kRegExpandSz, u"%ProgramFiles%\\support;"),
              pf::kErrorSuccess);
    ASSERT_EQ(SetDwordValue(key.get(), u"Count", 7), pf::kErrorSuccess);
  }
  const std::u16string script = std::u16string(kKeyLine) +
                                u"\r\n"
                                u"{OPTIONS: Prep}\r\n"
                                u"\"ACAD\"=\"$$VK_PATH$$\\Support;\"\r\n"
                                u"\"Fresh\"=\"new;\"\r\n"
                                u"\"Count\"=\"text over a number\"\r\n"
                                u"\"Number\"=dword:5\r\n";
  ASSERT_TRUE(Import(script));
  ASSERT_TRUE(Import(script));

  const std::u16string ours = u"C:\\Program Files\\Kavrin\\VELKOR RUR15\\Support;";
  EXPECT_EQ(ReadText(kKey, u"ACAD"), ours + ours + u"%ProgramFiles%\\support;");
  RegistryValue value;
  ASSERT_TRUE(test::ReadValue(kKey, u"ACAD", &value));
  EXPECT_EQ(value.type, pf::kRegExpandSz);
  // A missing value, or one that holds no text, is written as a plain string.
  EXPECT_EQ(ReadText(kKey, u"Fresh"), u"new;new;");
  // The first import put text in place of the number, the second prepended.
  ASSERT_TRUE(test::ReadValue(kKey, u"Count", &value));
  EXPECT_EQ(value.type, pf::kRegSz);
  EXPECT_EQ(RegistryValueText(value.data), u"text over a numbertext over a number");
  // Numbers are not written by a prepending block.
  EXPECT_EQ(ReadNumber(kKey, u"Number"), -1);
}

TEST_P(RegistryScriptTest, APlaceholderCanMakeAKeyLine) {
  settings_[Setting::StartLocation] = u"[HKEY_CURRENT_USER\\Software\\VkTestProfile\\Script]";
  ASSERT_TRUE(Import(u"$$VK_PATH$$\r\n\"Via\"=\"placeholder\"\r\n"));
  EXPECT_EQ(ReadText(kKey, u"Via"), u"placeholder");
}

TEST_P(RegistryScriptTest, FilesWithoutValuesWriteNothing) {
  EXPECT_TRUE(Import(u""));
  EXPECT_TRUE(Import(u"\r\n\r\n   \r\n\t\r\n"));
  EXPECT_TRUE(Import(std::u16string(kKeyLine) + u"\r\nno equals sign\r\n[HKEY_CURRENT_USER]\r\n"));
  // The key line itself creates its key.
  EXPECT_EQ(test::Snapshot(kKey), std::vector<std::u16string>{u"|"});
}

INSTANTIATE_TEST_SUITE_P(BothEncodings, RegistryScriptTest,
                         testing::Values(ScriptEncoding::kUtf16Le, ScriptEncoding::kCodePage),
                         [](const testing::TestParamInfo<ScriptEncoding>& param) {
                           return test::EncodingName(param.param);
                         });

class RegistryScriptFileTest : public test::RegistryTest {
 protected:
  vk::test::TempFolder folder_;
  settings::Settings settings_;
};

TEST_F(RegistryScriptFileTest, AFileThatCannotBeReadWritesNothing) {
  EXPECT_FALSE(ImportRegistryScript(folder_.Join(u"missing.txt"), settings_, kEditionDT));
  // A folder cannot be opened on Windows, and opens but cannot be read on posix.
  EXPECT_FALSE(ImportRegistryScript(folder_.path(), settings_, kEditionDT));
  EXPECT_FALSE(test::KeyExists(test::kTestKey));
}

TEST_F(RegistryScriptFileTest, EveryByteOfAnEightBitFileIsText) {
  // Ctrl-Z ends no file and a zero byte ends no line; a UTF-8 byte-order mark
  // is ordinary text, so the first line is no key line.
  constexpr char kBytes[] =
      "\xEF\xBB\xBF[HKEY_CURRENT_USER\\Software\\VkTestProfile\\Bom]\r\n"
      "[HKEY_CURRENT_USER\\Software\\VkTestProfile\\Script]\r\n"
      "\"Before\"=\"x\"\r\n\x1A\r\n"
      "\"Zero\"=\"a\0b\"\r\n"
      "\"After\"=\"y\"\r\n";
  const std::u16string path = folder_.Join(u"prof_cat.txt");
  ASSERT_TRUE(vk::test::WriteWholeFile(path, std::string_view(kBytes, sizeof kBytes - 1)));
  ASSERT_TRUE(ImportRegistryScript(path, settings_, kEditionDT));
  EXPECT_FALSE(test::KeyExists(u"Software\\VkTestProfile\\Bom"));
  EXPECT_EQ(ReadText(kKey, u"Before"), u"x");
  EXPECT_EQ(ReadText(kKey, u"After"), u"y");
  EXPECT_EQ(ReadText(kKey, u"Zero"), u"a");
}

TEST_F(RegistryScriptFileTest, AUtf16FileMayHoldAnyCharacter) {
  const std::u16string path = folder_.Join(u"prof_tmp.txt");
  test::WriteScript(path, std::u16string(kKeyLine) + u"\r\n\"Ω\"=\"Ж ę ř\"\r\n");
  ASSERT_TRUE(ImportRegistryScript(path, settings_, 0));
  EXPECT_EQ(ReadText(kKey, u"Ω"), u"Ж ę ř");
}

}  // namespace
}  // namespace vk::profile
