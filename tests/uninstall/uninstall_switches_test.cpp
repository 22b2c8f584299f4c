#include "uninstall/uninstall_switches.h"

#include <gtest/gtest.h>

#include "platform/text.h"

namespace vk::uninstall {
namespace {

TEST(UninstallSwitchesTest, ReadsTheLaunchersValueAndTheCommandLine) {
  UninstallRequest request;
  std::u16string error;
  ASSERT_TRUE(ParseSwitchText(u"-r \"VELKOR RUR15\" -p \"VELKOR RUR15\"", &request, &error));
  EXPECT_FALSE(request.listOnly);
  ASSERT_EQ(request.switches.size(), 2u);
  EXPECT_EQ(request.switches[0].kind, SwitchKind::kRemove);
  EXPECT_EQ(request.switches[1].kind, SwitchKind::kProfile);
  EXPECT_EQ(request.switches[1].product, u"VELKOR RUR15");

  ASSERT_TRUE(ParseSwitches({u"/P", u"A", u"-N"}, &request, &error));
  EXPECT_TRUE(request.listOnly);
  ASSERT_EQ(request.switches.size(), 1u);
  EXPECT_EQ(request.switches[0].kind, SwitchKind::kProfile);
}

TEST(UninstallSwitchesTest, RefusesWhatCouldLeadElsewhere) {
  const std::u16string refused[] = {
      u"",          u"-n",        u"-r",          u"-x A",      u"-r \"\"",
      u"-r ..",     u"-r .",      u"-r \"A\\B\"", u"-r A/B",    u"-r \"A*\"",
      u"-r \"A:\"", u"-r \"A \"", u"-r \" A\"",   u"-r \"A.\"", u"-r A -p",
  };
  for (const std::u16string& text : refused) {
    UninstallRequest request;
    std::u16string error;
    EXPECT_FALSE(ParseSwitchText(text, &request, &error)) << platform::Utf16ToUtf8(text);
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(request.switches.empty());
  }
  EXPECT_TRUE(IsProductName(u"VELKOR RUR15"));
  EXPECT_TRUE(IsProductName(u"V\u00DDKRES 2"));
  EXPECT_FALSE(IsProductName(std::u16string(256, u'a')));
  EXPECT_FALSE(IsProductName(u"a\tb"));
}

}  // namespace
}  // namespace vk::uninstall
