// The clean-up's report: what it did, what it skipped and why, one line
// each, in "kvuninstall.log" in the user's temporary folder and on the
// console the program was started from. A run with nothing to say, as most
// logons are, leaves the file alone.
#pragma once

#include <string_view>

namespace vk::uninstall {

inline constexpr char16_t kReportFileName[] = u"kvuninstall.log";
inline constexpr char16_t kProgramName[] = u"KVUnInstall";

// Starts a run's report; `arguments` as typed ("" at logon) head its first line.
void BeginReport(std::u16string_view arguments);
// One line: `subject` (a product, or the program) and what happened. The
// first line of a run opens the file.
void Report(std::u16string_view subject, std::u16string_view text);
// Ends the run's report with its result, when it has any line.
void EndReport(std::u16string_view result);

}  // namespace vk::uninstall
