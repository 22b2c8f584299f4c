#include "platform/reg_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/text.h"
#include "tests/support/registry_bytes.h"

namespace vk::platform {
namespace {

using test::StoredText;

constexpr uint32_t kSz = 1, kExpandSz = 2, kBinary = 3, kDword = 4, kMultiSz = 7, kQword = 11;

std::string Utf16File(std::string_view utf8) {
  return test::Utf16LeFile(Utf8ToUtf16(utf8));
}

std::vector<RegFileKey> Read(std::string_view bytes) {
  std::vector<RegFileKey> keys;
  RegFileError error;
  EXPECT_TRUE(ReadRegFile(bytes, &keys, &error)) << Utf16ToUtf8(error.Describe());
  return keys;
}

constexpr std::string_view kEveryKind =
    "Windows Registry Editor Version 5.00\r\n"
    "\r\n"
    "; a comment line\r\n"
    "[HKEY_CURRENT_USER\\Software\\VkTest\\Příliš žluťoučký kůň]\r\n"
    "@=\"výchozí\"\r\n"
    "\"Cesta\"=\"C:\\\\Program Files\\\\\\\"x\\\"\" ; comment after the data\r\n"
    "\"Řádky\"=\"a\\r\\nb\"\r\n"
    "\"Prázdný\"=\"\"\r\n"
    "\"Číslo\"=dword:0000ABcd\r\n"
    "  \"Krátké\" = dword:7\r\n"
    "\"Binary\"=hex:00,ff,10\r\n"
    "\"Expand\"=hex(2):25,00,41,00,25,00,00,00\r\n"
    "\"Multi\"=hex(7):61,00,00,00,62,00,00,00,00,00\r\n"
    "\"Qword\"=hex(b):01,02,03,04,05,06,07,08\r\n"
    "\"None\"=hex(0):\r\n"
    "\"Own type\"=hex(1234abcd):7f\r\n"
    "\"Long\"=hex:01,02,\\\r\n"
    "  03,04,\\\r\n"
    "; a comment inside the data\r\n"
    "\r\n"
    "  05\r\n"
    "\"Gone\"=-\r\n"
    "\r\n"
    "[-HKEY_CURRENT_USER\\Software\\VkTest\\Old]\r\n"
    "[hkey_local_machine\\Software\\X]\r\n"
    "[HKEY_CLASSES_ROOT\\.txt]\r\n"
    "[HKEY_USERS]\r\n";

TEST(RegFileTest, ReadsEveryKindOfLine) {
  const std::vector<RegFileKey> keys = Read(kEveryKind);
  ASSERT_EQ(keys.size(), 5u);
  EXPECT_EQ(keys[0].path, u"HKEY_CURRENT_USER\\Software\\VkTest\\Příliš žluťoučký kůň");
  EXPECT_FALSE(keys[0].remove);
  const std::vector<RegFileValue> expected = {
      {u"", false, kSz, StoredText(u"výchozí")},
      {u"Cesta", false, kSz, StoredText(u"C:\\Program Files\\\"x\"")},
      {u"Řádky", false, kSz, StoredText(u"a\r\nb")},
      {u"Prázdný", false, kSz, StoredText(u"")},
      {u"Číslo", false, kDword, {0xCD, 0xAB, 0x00, 0x00}},
      {u"Krátké", false, kDword, {0x07, 0x00, 0x00, 0x00}},
      {u"Binary", false, kBinary, {0x00, 0xFF, 0x10}},
      {u"Expand", false, kExpandSz, StoredText(u"%A%")},
      {u"Multi", false, kMultiSz, {0x61, 0, 0, 0, 0x62, 0, 0, 0, 0, 0}},
      {u"Qword", false, kQword, {1, 2, 3, 4, 5, 6, 7, 8}},
      {u"None", false, 0, {}},
      {u"Own type", false, 0x1234ABCD, {0x7F}},
      {u"Long", false, kBinary, {1, 2, 3, 4, 5}},
      {u"Gone", true, 0, {}},
  };
  EXPECT_EQ(keys[0].values, expected);
  EXPECT_EQ(keys[1], (RegFileKey{u"HKEY_CURRENT_USER\\Software\\VkTest\\Old", true, {}}));
  EXPECT_EQ(keys[2].path, u"HKEY_LOCAL_MACHINE\\Software\\X");
  EXPECT_EQ(keys[3].path, u"HKEY_CLASSES_ROOT\\.txt");
  EXPECT_EQ(keys[4].path, u"HKEY_USERS");
}

TEST(RegFileTest, ReadsTheSameFromEveryEncodingAndLineEnd) {
  const std::vector<RegFileKey> expected = Read(kEveryKind);
  std::string lf(kEveryKind), cr(kEveryKind);
  for (size_t at; (at = lf.find("\r\n")) != std::string::npos;) lf.erase(at, 1);
  for (size_t at; (at = cr.find("\r\n")) != std::string::npos;) cr.erase(at + 1, 1);
  EXPECT_EQ(Read(Utf16File(kEveryKind)), expected);
  EXPECT_EQ(Read("\xEF\xBB\xBF" + std::string(kEveryKind)), expected);
  EXPECT_EQ(Read(lf), expected);
  EXPECT_EQ(Read(cr), expected);
}

TEST(RegFileTest, RefusesBadFilesNamingTheLine) {
  const std::string header =
      "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\A]\r\n";
  const struct {
    std::string file;
    uint32_t line;
  } cases[] = {
      {"", 1},
      {"REGEDIT4\r\n", 1},
      {"Windows Registry Editor Version 5.00\r\n\"a\"=\"b\"\r\n", 2},
      {"Windows Registry Editor Version 5.00\r\n[HKEY_NOWHERE\\A]\r\n", 2},
      {"Windows Registry Editor Version 5.00\r\n[HKCU\\A]\r\n", 2},
      {"Windows Registry Editor Version 5.00\r\n[HKEY_CURRENT_USER\\A\\\\B]\r\n", 2},
      {"Windows Registry Editor Version 5.00\r\n[HKEY_CURRENT_USER\\A\\]\r\n", 2},
      {"Windows Registry Editor Version 5.00\r\n[HKEY_CURRENT_USER\\A\r\n", 2},
      {"Windows Registry Editor Version 5.00\r\n[HKEY_CURRENT_USER\\A] x\r\n", 2},
      {"Windows Registry Editor Version 5.00\r\n[-HKEY_CURRENT_USER]\r\n", 2},
      {"Windows Registry Editor Version 5.00\r\n[-HKEY_CURRENT_USER\\A]\r\n\"a\"=\"b\"\r\n", 3},
      {header + "\"a=\"b\"\r\n", 4},
      {header + "\"a\" \"b\"\r\n", 4},
      {header + "\"a\"=\"C:\\Program Files\"\r\n", 4},
      {header + "\"a\"=\"b\r\n", 4},
      {header + "\"a\"=\"b\" c\r\n", 4},
      {header + "\"a\"=- c\r\n", 4},
      {header + "\"a\"=dword:123456789\r\n", 4},
      {header + "\"a\"=dword:\r\n", 4},
      {header + "\"a\"=dword:12 34\r\n", 4},
      {header + "\"a\"=hex:0g\r\n", 4},
      {header + "\"a\"=hex:123\r\n", 4},
      {header + "\"a\"=hex:01,,02\r\n", 4},
      {header + "\"a\"=hex:01\\\r\n", 4},
      {header + "\"a\"=hex(zz):01\r\n", 4},
      {header + "\"a\"=hex(2)01\r\n", 4},
      {header + "\"a\"=string\r\n", 4},
      {header + "\"a\"=hex:01,\\\r\n\r\n[HKEY_CURRENT_USER\\B]\r\n", 6},
      {header + "garbage\r\n", 4},
      {header + "\"a\"=\"\xC3\x28\"\r\n", 4},
      {header + std::string("\"a\"=\"b\0c\"\r\n", 11), 4},
      {"\xFE\xFF\0W", 1},
      {Utf16File(header) + "x", 4},
  };
  for (const auto& c : cases) {
    std::vector<RegFileKey> keys = {{u"left over", false, {}}};
    RegFileError error;
    EXPECT_FALSE(ReadRegFile(c.file, &keys, &error)) << c.file;
    EXPECT_TRUE(keys.empty()) << c.file;
    EXPECT_EQ(error.line, c.line) << c.file << "\n" << Utf16ToUtf8(error.Describe());
    EXPECT_FALSE(error.reason.empty());
    EXPECT_EQ(error.Describe().rfind(u"line " + Utf8ToUtf16(std::to_string(c.line)) + u": ", 0),
              0u);
  }
}

TEST(RegFileTest, RefusesKeysDeeperThanTheRegistryAllows) {
  std::string path = "HKEY_CURRENT_USER";
  for (size_t i = 0; i < kMaxRegKeyDepth; ++i) path += "\\k";
  const std::string head = "Windows Registry Editor Version 5.00\r\n[";
  EXPECT_EQ(Read(head + path + "]\r\n").size(), 1u);
  std::vector<RegFileKey> keys;
  RegFileError error;
  EXPECT_FALSE(ReadRegFile(head + path + "\\k]\r\n", &keys, &error));
  EXPECT_EQ(error.line, 2u);
}

TEST(RegFileTest, WritesUtf16WithTheLayoutOfRegedit) {
  const std::vector<RegFileKey> keys = {
      {u"HKEY_CURRENT_USER\\Software\\Vk",
       false,
       {{u"", false, kSz, StoredText(u"a\"b\\c")},
        {u"N", false, kDword, {0x0D, 0x0C, 0x0B, 0x0A}},
        {u"Del", true, 0, {}}}},
      {u"HKEY_CURRENT_USER\\Software\\Old", true, {}},
  };
  const std::string expected = Utf16File(
      "Windows Registry Editor Version 5.00\r\n"
      "\r\n"
      "[HKEY_CURRENT_USER\\Software\\Vk]\r\n"
      "@=\"a\\\"b\\\\c\"\r\n"
      "\"N\"=dword:0a0b0c0d\r\n"
      "\"Del\"=-\r\n"
      "\r\n"
      "[-HKEY_CURRENT_USER\\Software\\Old]\r\n"
      "\r\n");
  EXPECT_EQ(WriteRegFile(keys), expected);
}

TEST(RegFileTest, WrapsLongHexDataAsRegeditDoes) {
  std::vector<uint8_t> data(40);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i);
  const std::vector<RegFileKey> keys = {
      {u"HKEY_CURRENT_USER\\A", false, {{u"Bin", false, kBinary, data}}}};
  EXPECT_EQ(
      WriteRegFile(keys, RegFileEncoding::kUtf8),
      "Windows Registry Editor Version 5.00\r\n"
      "\r\n"
      "[HKEY_CURRENT_USER\\A]\r\n"
      "\"Bin\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,\\\r\n"
      "  17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27\r\n"
      "\r\n");
}

TEST(RegFileTest, WritesDataThatAStringCannotHoldAsHex) {
  const std::vector<RegFileKey> keys = {{u"HKEY_CURRENT_USER\\A",
                                         false,
                                         {{u"NoZero", false, kSz, {0x41, 0x00}},
                                          {u"Inner", false, kSz, {0x41, 0, 0, 0, 0x42, 0, 0, 0}},
                                          {u"Odd", false, kSz, {0x41, 0, 0}},
                                          {u"Empty", false, kSz, {}},
                                          {u"Short", false, kDword, {1, 2}},
                                          {u"Big", false, 0xFFFFFFFF, {}}}}};
  EXPECT_EQ(WriteRegFile(keys, RegFileEncoding::kUtf8),
            "Windows Registry Editor Version 5.00\r\n"
            "\r\n"
            "[HKEY_CURRENT_USER\\A]\r\n"
            "\"NoZero\"=hex(1):41,00\r\n"
            "\"Inner\"=hex(1):41,00,00,00,42,00,00,00\r\n"
            "\"Odd\"=hex(1):41,00,00\r\n"
            "\"Empty\"=hex(1):\r\n"
            "\"Short\"=hex(4):01,02\r\n"
            "\"Big\"=hex(ffffffff):\r\n"
            "\r\n");
  EXPECT_EQ(Read(WriteRegFile(keys)), keys);
}

TEST(RegFileTest, RoundTripsNamesAndDataThatNeedEscapes) {
  std::vector<uint8_t> big(300);
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<uint8_t>(i * 7);
  const std::vector<RegFileKey> keys = {
      {u"HKEY_LOCAL_MACHINE", false, {{u"root value", false, kSz, StoredText(u"x")}}},
      {u"HKEY_CURRENT_USER\\Software\\[Závorky]\\a]",
       false,
       {{u"\"quoted\" \\ name\r\n", false, kSz,
         StoredText(u"\\\\server\\share ; not a comment \"x\"")},
        {u"@", false, kExpandSz, StoredText(u"%USERPROFILE%\\Příliš")},
        {u"  spaces  ", false, kMultiSz, StoredText(std::u16string(u"a\0b\0", 4))},
        {u"big", false, kBinary, big},
        {u"", true, 0, {}}}},
      {u"HKEY_CURRENT_USER\\Empty", false, {}},
  };
  EXPECT_EQ(Read(WriteRegFile(keys)), keys);
  EXPECT_EQ(Read(WriteRegFile(keys, RegFileEncoding::kUtf8)), keys);
}

}  // namespace
}  // namespace vk::platform
