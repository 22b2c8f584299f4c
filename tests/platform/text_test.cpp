#include "platform/text.h"

#include <gtest/gtest.h>

namespace vk::platform {
namespace {

TEST(TextTest, Utf8RoundTripsEveryPlaneAndReplacesInvalidInput) {
  const std::u16string text = u"Příliš žluťoučký kůň — 𝄞 €";
  EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(text)), text);
  EXPECT_EQ(Utf8ToUtf16("a\xC3"), u"a\uFFFD");          // truncated sequence
  EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");  // overlong form
  EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD");    // encoded surrogate
  EXPECT_EQ(Utf8ToUtf16("\xF4\x90\x80\x80"), u"\uFFFD");
  EXPECT_EQ(Utf16ToUtf8(u"\xD800x"), "\xEF\xBF\xBDx");  // lone surrogate
}

TEST(TextTest, Utf16LeBytesRoundTripAndDropAnOddByte) {
  const std::u16string text = u"Kč\u20AC";
  const std::vector<uint8_t> bytes = StringToUtf16Le(text);
  ASSERT_EQ(bytes.size(), 6u);
  EXPECT_EQ(bytes[2], 0x0D);
  EXPECT_EQ(bytes[3], 0x01);
  EXPECT_EQ(Utf16LeToString(bytes.data(), bytes.size()), text);
  EXPECT_EQ(Utf16LeToString(bytes.data(), 5), u"Kč");
}

TEST(TextTest, CodePageIsWindows1250) {
  // The same bytes must read the same on Windows (Czech ANSI code page) and posix.
  const std::string bytes =
      "P\xF8\xED\x6C\x69\x9A \x9E\x6C\x75\x9D\x6F\x75\xE8\x6B\xFD \x6B\xF9\xF2";
  EXPECT_EQ(CodePageToUtf16(bytes), u"Příliš žluťoučký kůň");
  EXPECT_EQ(Utf16ToCodePage(u"Příliš žluťoučký kůň"), bytes);
  EXPECT_EQ(Utf16ToCodePage(u"€ – „“"), "\x80\x20\x96\x20\x84\x93");
}

TEST(TextTest, CharactersOutsideTheCodePageBecomeQuestionMarks) {
  EXPECT_EQ(Utf16ToCodePage(u"a未b"), "a?b");
  EXPECT_EQ(Utf16ToCodePage(u"ñ"), "?");  // no best-fit "n"
}

TEST(TextTest, AsciiFoldingLeavesOtherLettersAlone) {
  EXPECT_EQ(FoldAsciiCase(u"WorkSpace ČŘ"), u"workspace ČŘ");
  EXPECT_EQ(CompareAsciiNoCase(u"MENUGROUP", u"menugroup"), 0);
  EXPECT_NE(CompareAsciiNoCase(u"Č", u"č"), 0);
  EXPECT_LT(CompareAsciiNoCase(u"a", u"B"), 0);
  EXPECT_LT(CompareAsciiNoCase(u"ab", u"ABC"), 0);
}

TEST(TextTest, RegistryNamesIgnoreCaseInEveryScript) {
  EXPECT_TRUE(RegistryNamesEqual(u"Příliš Žluťoučký", u"PŘÍLIŠ žLUŤOUČKÝ"));
  EXPECT_TRUE(RegistryNamesEqual(u"Профиль ёж", u"ПРОФИЛЬ ЁЖ"));
  EXPECT_FALSE(RegistryNamesEqual(u"Menus", u"Menu"));
  EXPECT_LT(CompareRegistryNames(u"alpha", u"BETA"), 0);
}

// The prefix tests differ only where letters outside A-Z are concerned.
TEST(TextTest, PrefixesIgnoreCaseByTheirOwnRule) {
  struct Row {
    std::u16string_view text;
    std::u16string_view prefix;
    bool ascii;
    bool registry;
  };
  const Row rows[] = {
      {u"WSPU_42", u"wspu_", true, true},
      {u"dword:00000001", u"DWORD:", true, true},
      {u"Software\\Kavrin", u"", true, true},
      {u"hex", u"hex:", false, false},  // the text is shorter than the prefix
      {u"Čtverec", u"čTV", false, true},
      {u"Ш_1", u"ш_", false, true},
      {u"RBNU_1", u"WSPU_", false, false},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(StartsWithNoCase(row.text, row.prefix), row.ascii) << Utf16ToUtf8(row.text);
    EXPECT_EQ(RegistryNameStartsWith(row.text, row.prefix), row.registry) << Utf16ToUtf8(row.text);
  }
}

TEST(TextTest, TrimDropsTheGivenCharactersAtBothEndsOnly) {
  EXPECT_EQ(Trim(u" \t Windows Registry \t"), u"Windows Registry");
  EXPECT_EQ(Trim(u" \t "), u"");
  EXPECT_EQ(Trim(u"\"ACAD\" ", u" \""), u"ACAD");
  EXPECT_EQ(Trim(u"\nline\r", u"\n\r"), u"line");
  EXPECT_TRUE(IsSeparator(u'\\'));
  EXPECT_TRUE(IsSeparator(u'/'));
  EXPECT_FALSE(IsSeparator(u':'));
}

TEST(TextTest, CollationIgnoresCase) {
  EXPECT_EQ(CollateNoCase(u"C:\\Users\\Jan\\Support", u"c:\\users\\JAN\\support"), 0);
  EXPECT_EQ(CollateNoCase(u"", u""), 0);
  EXPECT_NE(CollateNoCase(u"", u"C:\\Support"), 0);
  EXPECT_EQ(CollateNoCase(u"Č:\\Podpora", u"č:\\PODPORA"), 0);
}

}  // namespace
}  // namespace vk::platform
