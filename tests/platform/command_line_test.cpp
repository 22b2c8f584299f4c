#include "platform/command_line.h"

#include <gtest/gtest.h>

namespace vk::platform {
namespace {

using Args = std::vector<std::u16string>;

TEST(CommandLineTest, ProgramNameEndsAtQuoteOrBlankWithoutEscapes) {
  EXPECT_EQ(SplitCommandLine(u"\"C:\\Program Files\\a\\\"b c"),
            (Args{u"C:\\Program Files\\a\\", u"b", u"c"}));
  EXPECT_EQ(SplitCommandLine(u"prog.exe"), (Args{u"prog.exe"}));
  EXPECT_EQ(SplitCommandLine(u" a"), (Args{u"", u"a"}));
  EXPECT_EQ(SplitCommandLine(u""), Args{});
}

TEST(CommandLineTest, ArgumentsFollowTheBackslashAndQuoteRules) {
  struct Case {
    const char16_t* tail;
    Args expected;
  } cases[] = {
      {u"a b\tc", {u"a", u"b", u"c"}},
      {u"\"a b\" c", {u"a b", u"c"}},
      {u"a\\\\b", {u"a\\\\b"}},        // backslashes before a non-quote stay
      {u"a\\\"b", {u"a\"b"}},          // odd count: literal quote
      {u"a\\\\\"b c\"", {u"a\\b c"}},  // even count: half, and the quote opens
      {u"a\\\\\\\"b", {u"a\\\"b"}},    // three: one backslash and a quote
      {u"\"a\"\"b\"", {u"a\"b"}},      // a doubled quote inside quotes
      {u"\"\"", {u""}},                // an empty quoted argument
      {u"\"\"\"a\"\"\" b", {u"\"a\"", u"b"}},
      {u"\"C:\\dir\\\\\" x", {u"C:\\dir\\", u"x"}},
      {u"a   ", {u"a"}},
      {u"\"unterminated arg", {u"unterminated arg"}},
  };
  for (const Case& c : cases) {
    Args expected = c.expected;
    expected.insert(expected.begin(), u"p");
    EXPECT_EQ(SplitCommandLine(std::u16string(u"p ") + c.tail), expected)
        << "tail: " << std::string(c.tail, c.tail + std::char_traits<char16_t>::length(c.tail));
  }
}

TEST(CommandLineTest, ProcessArgumentsStartWithTheProgram) {
  const Args args = ProcessArguments();
  ASSERT_FALSE(args.empty());
  EXPECT_NE(args[0].find(u"vk_tests"), std::u16string::npos);
}

}  // namespace
}  // namespace vk::platform
