// The launch log's own rules: the time format, where the log lives, and its
// rotation at the size limit (the launches' lines are tested end to end).
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "launchlog/launch_log.h"
#include "platform/files.h"
#include "platform/local_time.h"
#include "tests/support/known_folder_redirect.h"
#include "tests/support/read_only.h"
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

// A log at the limit is kept; one byte more moves it over the older log, or
// starts it afresh where the older log cannot be replaced.
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

  // Whatever stands at the older log's name, the two stay bounded.
  const uint64_t lineSize = 29 + sizeof " next: line\n" - 1;
  struct Case {
    uint64_t size;
    bool olderReadOnly;
    bool moved;
    bool emptied;
  } const cases[] = {
      {kRotationSize, false, false, false},
      {kRotationSize + 1, false, true, false},
      {kRotationSize + 1, true, false, true},
      {3ull << 30, false, true, false},  // past what a 32-bit size sees
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(test::WriteWholeFile(log, ""));
    ASSERT_TRUE(vk::test::ResizeFile(log, c.size));
    ASSERT_TRUE(test::WriteWholeFile(older, "oldest"));
    {
      std::optional<test::ScopedReadOnly> readOnly;
      if (c.olderReadOnly) readOnly.emplace(older);
      Open(folder);
      Record("next", "line");
      Close();
    }
    uint64_t current = 0, previous = 0;
    ASSERT_TRUE(platform::FileSize(log, &current));
    ASSERT_TRUE(platform::FileSize(older, &previous));
    EXPECT_EQ(previous, c.moved ? c.size : 6) << c.size;
    EXPECT_EQ(current, c.moved || c.emptied ? lineSize : c.size + lineSize) << c.size;
  }
}

}  // namespace
}  // namespace vk::launchlog
