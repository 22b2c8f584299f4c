// The launch log's own rules: the time format, where the log lives, and its
// rotation at the size limit (the launches' lines are tested end to end).
#include <gtest/gtest.h>

#include <string>

#include "launchlog/launch_log.h"
#include "platform/files.h"
#include "platform/local_time.h"
#include "tests/support/known_folder_redirect.h"
#include "tests/support/test_paths.h"

namespace vk::launchlog {
namespace {

TEST(LaunchLogTest, TimesAreLocalWithTheirOffset) {
  struct Case {
    int offsetMinutes;
    const char* expected;
  } const cases[] = {
      {60, "2026-03-29T01:59:59.999+01:00"},
      {0, "2026-03-29T01:59:59.999+00:00"},
      {-210, "2026-03-29T01:59:59.999-03:30"},
      {345, "2026-03-29T01:59:59.999+05:45"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(platform::FormatTimestamp(2026, 3, 29, 1, 59, 59, 999, c.offsetMinutes), c.expected);
  }
  EXPECT_EQ(platform::LocalTimestamp().size(), 29u);
}

TEST(LaunchLogTest, TheLogLivesInLocalApplicationData) {
  test::TempFolder root;
  {
    test::ScopedKnownFolders folders(root.path(), root.path(), root.path(), root.Join(u"Local"));
    ASSERT_EQ(platform::MakeFolder(root.Join(u"Local")), 0);
    EXPECT_EQ(LogFolder(u"VELKOR RUR15"), root.Join(u"Local\\Kavrin\\VELKOR RUR15\\Logs"));
  }
#ifndef _WIN32
  // Without the folder there is no log; Windows always has one.
  test::ScopedKnownFolders folders(root.path(), root.path(), root.path());
  EXPECT_EQ(LogFolder(u"VELKOR RUR15"), u"");
#endif
}

// A log at the limit is kept; one byte more moves it over the older log.
TEST(LaunchLogTest, ALogPastItsLimitBecomesTheOlderLog) {
  test::TempFolder root;
  const std::u16string folder = root.Join(u"Logs");
  const std::u16string log = folder + u"\\vkstart.log";
  const std::u16string older = folder + u"\\vkstart.1.log";
  Record("lost", "no log is open");
  Open(folder);
  Record("first", u"\u010de\u0161tina");
  Close();
  Record("lost", "the log is closed");
  std::string bytes;
  ASSERT_TRUE(platform::ReadWholeFile(log, &bytes));
  EXPECT_TRUE(
      bytes.ends_with(" first: \xC4\x8D"
                      "e\xC5\xA1tina\n"))
      << bytes;
  EXPECT_EQ(bytes.find("lost"), std::string::npos);

  for (const bool past : {false, true}) {
    const std::string full(kRotationSize + (past ? 1 : 0), 'x');
    ASSERT_TRUE(test::WriteWholeFile(log, full));
    ASSERT_TRUE(test::WriteWholeFile(older, "oldest"));
    Open(folder);
    Record("next", "line");
    Close();
    std::string current, previous;
    ASSERT_TRUE(platform::ReadWholeFile(log, &current));
    ASSERT_TRUE(platform::ReadWholeFile(older, &previous));
    EXPECT_EQ(previous, past ? full : "oldest");
    EXPECT_EQ(current.size(), past ? 29 + sizeof " next: line\n" - 1 : full.size() + 41);
  }
}

}  // namespace
}  // namespace vk::launchlog
