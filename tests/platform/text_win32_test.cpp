#include <gtest/gtest.h>

#include "platform/code_page_win32.h"

namespace vk::platform {
namespace {

// Windows can use UTF-8 as its ANSI code page; that conversion refuses the
// no-best-fit flag and the default character, so it must be made without them.
TEST(TextWin32Test, ConvertsForEveryAnsiCodePage) {
  EXPECT_EQ(Utf16ToCodePageOf(65001, u"C:\\Profily\\žluťoučký kůň 未"),
            "C:\\Profily\\\xC5\xBElu\xC5\xA5ou\xC4\x8Dk\xC3\xBD k\xC5\xAF\xC5\x88 \xE6\x9C\xAA");
  EXPECT_EQ(Utf16ToCodePageOf(1250, u"kůň ñ"), "k\xF9\xF2 ?");
  EXPECT_EQ(Utf16ToCodePageOf(1252, u"kůň"), "k??");  // no best-fit "u" and "n"
}

TEST(TextWin32Test, AnUnusableCodePageIsAFailureNotAnEmptyText) {
  EXPECT_EQ(Utf16ToCodePageOf(12345, u"text"), std::nullopt);
}

}  // namespace
}  // namespace vk::platform
