#include "platform/message_box.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/message_log.h"

namespace vk::platform {
namespace {

// Under Wine the boxes are real and answered by tools/msgbox_helper;
// natively the primitive writes the same record itself.
TEST(MessageBoxTest, RecordsExactTextOfEachBoxInOrder) {
  test::ScopedMessageLog log;
  const std::u16string first =
      u"Nelze načíst nastavení „VELKOR RUR15“.\nChyba 2a, zkuste to znovu.";
  const std::u16string second = u"Žluťoučký kůň";

  EXPECT_EQ(ShowMessageBox(first, u"VELKOR", kMbIconError), kIdOk);
  EXPECT_EQ(ShowMessageBox(second, u"VELKOR", kMbIconError), kIdOk);

  EXPECT_EQ(test::TakeMessageLog(), (std::vector<std::u16string>{first, second}));
  EXPECT_TRUE(test::TakeMessageLog().empty());
}

}  // namespace
}  // namespace vk::platform
