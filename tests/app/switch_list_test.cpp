#include "app/switch_list.h"

#include <gtest/gtest.h>

#include "platform/command_line.h"

namespace vk::app {
namespace {

SwitchList Parsed(std::vector<std::u16string> args) {
  args.insert(args.begin(), u"C:\\Program Files\\VELKOR\\vkstart.exe");
  SwitchList list;
  list.Parse(args);
  return list;
}

TEST(SwitchListTest, NoLogoInAnySpellingIsPresentAndHandedOnAsTyped) {
  for (const char16_t* typed : {u"-nologo", u"/nologo", u"/NOLOGO"}) {
    SwitchList list = Parsed({typed});
    EXPECT_TRUE(list.IsPresent(SwitchList::kNoLogo));
    EXPECT_EQ(list.Compose(), u" /" + std::u16string(typed + 1));
  }
}

TEST(SwitchListTest, ProfileIsForcedAtTheUsersPositionOrAppended) {
  SwitchList given = Parsed({u"-b", u"s.scr", u"-p", u"Other", u"/nologo"});
  EXPECT_EQ(given.SetValue(SwitchList::kProfile, u"VELKOR RUR15"), 1);
  EXPECT_EQ(given.Compose(), u" /b \"s.scr\" /p \"VELKOR RUR15\" /nologo");

  SwitchList absent = Parsed({u"-b", u"s.scr"});
  EXPECT_EQ(absent.SetValue(SwitchList::kProfile, u"VELKOR RUR15"), 1);
  EXPECT_EQ(absent.Compose(), u" /b \"s.scr\" /p \"VELKOR RUR15\"");

  // Only the first matching entry takes the value; a repeated switch stays.
  SwitchList twice = Parsed({u"/P", u"a", u"/p", u"b"});
  EXPECT_EQ(twice.SetValue(SwitchList::kProfile, u"X"), 0);
  EXPECT_EQ(twice.Compose(), u" /P \"X\" /p \"b\"");
}

TEST(SwitchListTest, ComposesSwitchesValuesAndBareValues) {
  EXPECT_EQ(Parsed({u"-b", u"script.scr", u"/nologo"}).Compose(), u" /b \"script.scr\" /nologo");
  EXPECT_EQ(Parsed({u"drawing.dwg"}).Compose(), u" \"drawing.dwg\"");
  EXPECT_EQ(Parsed({u"-t", u"-5"}).Compose(), u" /t /5");
  EXPECT_EQ(Parsed({u"/"}).Compose(), u" /");
  EXPECT_EQ(Parsed({u"/b", u"my script.scr"}).Compose(), u" /b \"my script.scr\"");
  EXPECT_EQ(Parsed({}).Compose(), u"");
}

TEST(SwitchListTest, EveryNameAndValueReadsBackWholeByTheWindowsRules) {
  const struct {
    std::vector<std::u16string> args;
    const char16_t* composed;
  } kCases[] = {
      // Backslashes are doubled only before a quote or the closing quote.
      {{u"/s", u"C:\\Support\\"}, u" /s \"C:\\Support\\\\\""},
      {{u"/s", u"\\\\server\\share\\\\"}, u" /s \"\\\\server\\share\\\\\\\\\""},
      {{u"/b", u"a\"b"}, u" /b \"a\\\"b\""},
      {{u"/b", u"a\\\"b"}, u" /b \"a\\\\\\\"b\""},
      {{u"/b", u"a\\b c"}, u" /b \"a\\b c\""},
      {{u"/b", u"\""}, u" /b \"\\\"\""},
      // A name is quoted only when a blank or a quote would split it.
      {{u"/na me", u"v"}, u" /\"na me\" \"v\""},
      {{u"/a\"b\\"}, u" /\"a\\\"b\\\\\""},
      {{u"/dir\\"}, u" /dir\\"},
  };
  for (const auto& c : kCases) {
    SwitchList list = Parsed(c.args);
    list.SetValue(SwitchList::kProfile, u"VELKOR RUR15");
    const std::u16string composed = list.Compose();
    EXPECT_EQ(composed, std::u16string(c.composed) + u" /p \"VELKOR RUR15\"");
    // What AutoCAD receives: the same arguments, the forced switch after them.
    std::vector<std::u16string> args = platform::SplitCommandLine(u"acad.exe" + composed);
    args.erase(args.begin());
    std::vector<std::u16string> expected = c.args;
    expected.insert(expected.end(), {u"/p", u"VELKOR RUR15"});
    EXPECT_EQ(args, expected);
  }
}

TEST(SwitchListTest, EntriesKeepNamesAndValuesApart) {
  SwitchList list = Parsed({u"x.dwg", u"/set", u"Profil Č", u"y.dwg", u"/nossm"});
  const auto& e = list.entries();
  ASSERT_EQ(e.size(), 4u);
  EXPECT_FALSE(e[0].name.has_value());
  EXPECT_EQ(e[0].value, u"x.dwg");
  EXPECT_EQ(e[1].name, u"set");
  EXPECT_EQ(e[1].value, u"Profil Č");
  EXPECT_FALSE(e[2].name.has_value());
  EXPECT_EQ(e[2].value, u"y.dwg");
  EXPECT_EQ(e[3].name, u"nossm");
  EXPECT_FALSE(e[3].value.has_value());
}

TEST(SwitchListTest, EmptyArgumentsAreSkipped) {
  SwitchList list = Parsed({u"", u"/b", u"", u"s.scr", u""});
  EXPECT_EQ(list.Compose(), u" /b \"s.scr\"");
}

TEST(SwitchListTest, IndexOutsideTheTableChangesNothing) {
  SwitchList list = Parsed({u"/b"});
  for (int index : {-1, 15, 1000}) {
    EXPECT_FALSE(list.IsPresent(index));
    EXPECT_EQ(list.SetValue(index, u"x"), -1);
  }
  EXPECT_EQ(list.Compose(), u" /b");
}

TEST(SwitchListTest, BareValueDoesNotMatchAnyKnownName) {
  // A bare value has no name; an empty-named switch is not "b" either.
  SwitchList list = Parsed({u"b", u"/"});
  EXPECT_FALSE(list.IsPresent(0));
  EXPECT_EQ(list.SetValue(0, u"v"), 2);
}

}  // namespace
}  // namespace vk::app
