#include "profile/placeholders.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace vk::profile {
namespace {

using settings::Setting;
using settings::Settings;

struct Token {
  const char16_t* token;
  Setting entry;
};

// The table in search order.
const std::vector<Token> kTokens = {
    {u"$$ACAD$$", Setting::AcadPathReg},
    {u"$$COMMON_PATH$$", Setting::CommonPath},
    {u"$$ALLUSER_PATH$$", Setting::AllUserPath},
    {u"$$ONEUSER_PATH$$", Setting::OneUserPath},
    {u"$$VK_PATH$$", Setting::StartLocation},
    {u"$$AC_PATH$$", Setting::AcadLocation},
    {u"$$ACAD_ALLUSERS_PATH$$", Setting::AcadAllUsersPath},
    {u"$$ACAD_ONEUSER_PATH$$", Setting::AcadOneUserPath},
    {u"$$ACAD_NIWTEMPLATE_PATH$$", Setting::CdTemplates},
    {u"$$ACAD_NIWMENUS_PATH$$", Setting::CdMenus},
    {u"$$VK_MENUS_PATH$$", Setting::MenusPath},
};

std::u16string Replaced(std::u16string text, const Settings& settings) {
  ReplacePlaceholders(&text, settings);
  return text;
}

// The plain replacement loop: each pass replaces the first occurrence of the
// first token of the table that the text holds, with no guard against an
// entry that brings its own token back; false when it has not ended after
// `maxPasses` passes.
bool ReplaceWithPlainLoop(std::u16string* text, const Settings& settings, int maxPasses) {
  for (int pass = 0; pass < maxPasses; ++pass) {
    bool found = false;
    for (const Token& t : kTokens) {
      const size_t at = text->find(t.token);
      if (at == std::u16string::npos) continue;
      text->replace(at, std::u16string_view(t.token).size(), settings[t.entry]);
      found = true;
      break;
    }
    if (!found) return true;
  }
  return false;
}

// Numbers below a bound, the same on every platform.
class Random {
 public:
  explicit Random(uint32_t seed) : engine_(seed) {}
  size_t operator()(size_t bound) { return static_cast<size_t>(engine_() % bound); }

 private:
  std::mt19937 engine_;
};

bool HoldsToken(const std::u16string& text) {
  for (const Token& t : kTokens) {
    if (text.find(t.token) != std::u16string::npos) return true;
  }
  return false;
}

TEST(PlaceholdersTest, EachTokenStandsForItsOwnEntry) {
  Settings settings;
  for (size_t i = 0; i < kTokens.size(); ++i) {
    settings[kTokens[i].entry] = u"<" + std::u16string(1, static_cast<char16_t>(u'a' + i)) + u">";
  }
  for (size_t i = 0; i < kTokens.size(); ++i) {
    EXPECT_EQ(Replaced(u"x" + std::u16string(kTokens[i].token) + u"y", settings),
              u"x" + settings[kTokens[i].entry] + u"y")
        << i;
  }
}

TEST(PlaceholdersTest, ReplacesEveryOccurrenceAndOnlyExactTokens) {
  Settings settings;
  settings[Setting::StartLocation] = u"C:\\Program Files\\Kavrin\\VELKOR RUR15";
  settings[Setting::AcadPathReg] = u"Software\\Autodesk\\ACA";
  settings[Setting::CommonPath] = u"";

  EXPECT_EQ(Replaced(u"\"A\"=\"$$VK_PATH$$\\a;$$VK_PATH$$\\b\"", settings),
            u"\"A\"=\"C:\\Program Files\\Kavrin\\VELKOR RUR15\\a;C:\\Program Files\\Kavrin\\VELKOR "
            u"RUR15\\b\"");
  EXPECT_EQ(Replaced(u"$$vk_path$$ $$Vk_Path$$ $VK_PATH$ $$VK_PATH", settings),
            u"$$vk_path$$ $$Vk_Path$$ $VK_PATH$ $$VK_PATH");
  // An empty entry takes its token away.
  EXPECT_EQ(Replaced(u"[$$COMMON_PATH$$]", settings), u"[]");
  EXPECT_EQ(Replaced(u"no tokens at all, $ and $$ alone", settings),
            u"no tokens at all, $ and $$ alone");
  EXPECT_EQ(Replaced(u"", settings), u"");
}

TEST(PlaceholdersTest, TheShortestTokenIsNoPrefixOfTheLongerOnes) {
  Settings settings;
  settings[Setting::AcadPathReg] = u"REG";
  settings[Setting::AcadAllUsersPath] = u"ALL";
  settings[Setting::AcadOneUserPath] = u"ONE";
  settings[Setting::CdTemplates] = u"TPL";
  settings[Setting::CdMenus] = u"MNU";
  EXPECT_EQ(Replaced(u"$$ACAD_ALLUSERS_PATH$$ $$ACAD_ONEUSER_PATH$$ $$ACAD_NIWTEMPLATE_PATH$$ "
                     u"$$ACAD_NIWMENUS_PATH$$ $$ACAD$$",
                     settings),
            u"ALL ONE TPL MNU REG");
}

TEST(PlaceholdersTest, TokensInsideInsertedEntriesAreReplacedToo) {
  Settings settings;
  settings[Setting::MenusPath] = u"$$ONEUSER_PATH$$\\Support\\DT+";
  settings[Setting::OneUserPath] = u"C:\\Users\\Jiří\\AppData\\Roaming\\Kavrin\\VELKOR RUR15";
  EXPECT_EQ(Replaced(u"$$VK_MENUS_PATH$$\\aca.cuix", settings),
            u"C:\\Users\\Jiří\\AppData\\Roaming\\Kavrin\\VELKOR RUR15\\Support\\DT+\\aca.cuix");
  // A token may also form where an entry joins the text around it.
  settings[Setting::CommonPath] = u"";
  settings[Setting::StartLocation] = u"D:\\VK";
  EXPECT_EQ(Replaced(u"$$VK_$$COMMON_PATH$$PATH$$", settings), u"D:\\VK");
}

TEST(PlaceholdersTest, AnEntryHoldingItsOwnTokenEnds) {
  Settings settings;
  settings[Setting::StartLocation] = u"C:\\$$VK_PATH$$\\x";
  EXPECT_EQ(Replaced(u"$$VK_PATH$$\\a", settings), u"C:\\\\x\\a");
  settings[Setting::StartLocation] = u"$$VK_PATH$$";
  EXPECT_EQ(Replaced(u"[$$VK_PATH$$]", settings), u"[]");

  // Entries that hold each other's token.
  settings[Setting::StartLocation] = u"a$$AC_PATH$$";
  settings[Setting::AcadLocation] = u"b$$VK_PATH$$";
  EXPECT_EQ(Replaced(u"$$VK_PATH$$|$$AC_PATH$$", settings), u"ab|ba");
}

// Random texts of token pieces, entries empty or free of token characters:
// tokens also form across the joins that replacements leave.
TEST(PlaceholdersTest, MatchesTheLoopAsWrittenOnRandomTexts) {
  const std::vector<std::u16string> pieces = {
      u"$$",   u"$",        u"ACAD",        u"_",           u"VK",
      u"PATH", u"AC",       u"MENUS",       u"ONEUSER",     u"x",
      u"\\",   u"$$ACAD$$", u"$$VK_PATH$$", u"$$AC_PATH$$", u"$$VK_MENUS_PATH$$"};
  Random random(20240615);
  for (int round = 0; round < 3000; ++round) {
    Settings settings;
    for (const Token& t : kTokens) {
      if (random(2) == 0)
        settings[t.entry] = std::u16string(random(4), static_cast<char16_t>(u'a' + random(26)));
    }
    std::u16string text;
    for (size_t n = random(24); n > 0; --n) text += pieces[random(pieces.size())];
    std::u16string expected = text;
    ASSERT_TRUE(ReplaceWithPlainLoop(&expected, settings, 10000));
    EXPECT_EQ(Replaced(text, settings), expected) << round;
  }
}

// Random entries holding at most one whole token, some of them in cycles:
// where the plain loop ends (within 12 passes per token of the text, as
// no entry holds two), the result is the same; where it would not, it ends
// anyway and leaves no token.
TEST(PlaceholdersTest, MatchesThePlainLoopWhereItEnds) {
  const std::vector<std::u16string> fillers = {u"a", u"b\\", u" ", u"c1"};
  Random random(7);
  int ended = 0;
  int guarded = 0;
  for (int round = 0; round < 3000; ++round) {
    Settings settings;
    auto randomText = [&](size_t pieces) {
      std::u16string text = u"x";
      for (size_t n = random(pieces); n > 0; --n) {
        text += kTokens[random(kTokens.size())].token;
        text += fillers[random(fillers.size())];
      }
      return text;
    };
    for (const Token& t : kTokens) {
      settings[t.entry] = random(3) == 0 ? randomText(2) : fillers[random(fillers.size())];
    }
    const std::u16string text = randomText(6);
    std::u16string expected = text;
    const std::u16string result = Replaced(text, settings);
    EXPECT_FALSE(HoldsToken(result)) << round;
    if (ReplaceWithPlainLoop(&expected, settings, 300)) {
      ++ended;
      EXPECT_EQ(result, expected) << round;
    } else {
      ++guarded;
    }
  }
  // Both kinds must have been met for the test to mean anything.
  EXPECT_GT(ended, 100);
  EXPECT_GT(guarded, 100);
}

}  // namespace
}  // namespace vk::profile
