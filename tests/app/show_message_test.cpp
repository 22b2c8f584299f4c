#include "app/show_message.h"

#include <gtest/gtest.h>

#include "app/string_table.h"
#include "platform/message_box.h"
#include "tests/support/message_log.h"

namespace vk::app {
namespace {

// The texts as written in the string table's source; on Windows they are
// loaded from the executable's resources, so this checks the resource
// compiler kept every character.
constexpr struct {
  unsigned id;
  const char16_t* text;
} kSource[] = {
#define STR(id, text) {id, u"" text},
#include "resources/strings.def"
#undef STR
};

TEST(StringTableTest, ResourcesHoldTheSourceTextsCharacterForCharacter) {
  ASSERT_EQ(std::size(kSource), 18u);
  for (const auto& entry : kSource) EXPECT_EQ(LoadMessageText(entry.id), entry.text) << entry.id;
  for (unsigned missing : {0u, 10u, 13u, 18u, 19u, 23u, 191u}) {
    EXPECT_EQ(LoadMessageText(missing), u"") << missing;
  }
}

TEST(StringTableTest, TextsKeepTheirBackslashesDashesAndTrailingBlanks) {
  EXPECT_EQ(LoadMessageText(2), u"Opravdu chceš skončit? ");
  EXPECT_EQ(LoadMessageText(6), u"Klíč '%s\\%s'\nsystémového registru nelze otevřít.");
  EXPECT_EQ(LoadMessageText(8),
            u"Proměnnou '%s' klíče '%s\\%s'\nsystémového registru nelze nastavit.");
  EXPECT_EQ(LoadMessageText(12),
            u"Proměnná '%s' klíče '%s\\%s'\nsystémového registru není správně nastavena.");
  EXPECT_EQ(LoadMessageText(14),
            u"Nastavení VELKORu není správné.\nSpusťte prosím 'Manažer VELKORu' a potom znovu "
            u"'VELKOR'. ");
  EXPECT_EQ(LoadMessageText(17),
            u"Před spuštěním VELKORu je nutné nejprve spustit AutoCAD Architecture.");
  EXPECT_EQ(LoadMessageText(20),
            u"Narzędzia wstążki \u2014 AutoCAD Arch_0F6FF696-085B-48FD-A8AD-5278CA20EF54.atc");
  EXPECT_EQ(LoadMessageText(21),
            u"Nástroje na pásu karet \u2013 AutoCAD_0F6FF696-085B-48FD-A8AD-5278CA20EF54.atc");
  EXPECT_EQ(LoadMessageText(22),
            u"Spouštění VELKORu již probíhá. Vyčkejte prosím na jeho dokončení.");
}

TEST(ShowMessageTest, ArgumentsFillThePlaceholdersInTheirOrder) {
  test::ScopedMessageLog log;
  using Args = std::vector<MessageArgument>;
  const struct {
    unsigned id;
    Args args;
    const char16_t* shown;
  } kCases[] = {
      {17, {}, u"Před spuštěním VELKORu je nutné nejprve spustit AutoCAD Architecture."},
      // No first argument: the text unchanged, whatever follows.
      {1, {std::nullopt, u"x", u"y"}, u"Cesta k souboru %s nebyla nalezena."},
      {1, {u"C:\\a b"}, u"Cesta k souboru C:\\a b nebyla nalezena."},
      // First and third without a second: the first alone.
      {1, {u"p", std::nullopt, u"t"}, u"Cesta k souboru p nebyla nalezena."},
      {5,
       {u"C:\\AutoCAD\\acad.exe", u"2"},
       u"Soubor není přístupný.\n Cesta : C:\\AutoCAD\\acad.exe\n Chybový kód : 2"},
      {6,
       {u"HKEY", u"Software\\X"},
       u"Klíč 'HKEY\\Software\\X'\nsystémového registru nelze otevřít."},
      // All three: the third fills the first placeholder.
      {8,
       {u"Software", u"Kavrin", u"Modules"},
       u"Proměnnou 'Modules' klíče 'Software\\Kavrin'\nsystémového registru nelze nastavit."},
      {10, {u"x"}, u""},
  };
  for (const auto& c : kCases) {
    const auto arg = [&](size_t i) { return i < c.args.size() ? c.args[i] : std::nullopt; };
    EXPECT_EQ(ShowMessage(c.id, platform::kMbIconError, arg(0), arg(1), arg(2)), platform::kIdOk);
    EXPECT_EQ(test::TakeMessageLog(), std::vector<std::u16string>{c.shown}) << c.id;
  }
}

TEST(ShowMessageTest, FormattingAndErrorNumbers) {
  EXPECT_EQ(FormatText(u"%s-%s-%s", {u"a", u"b"}), u"a-b-");
  EXPECT_EQ(FormatText(u"100%% %s%", {u"%s"}), u"100% %s%");
  EXPECT_EQ(HexNumber(0), u"0");
  EXPECT_EQ(HexNumber(2), u"2");
  EXPECT_EQ(HexNumber(193), u"c1");
  EXPECT_EQ(HexNumber(0x800700C1u), u"800700c1");
}

}  // namespace
}  // namespace vk::app
