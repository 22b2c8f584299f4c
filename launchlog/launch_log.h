// The launch log: what the launcher decided and what failed silently, for
// the person who supports it. One line per event, UTF-8, each line the local
// time and the step first. Writing it never changes what the launcher does:
// a log that cannot be made, opened or written is simply not written.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vk::launchlog {

inline constexpr char16_t kLogFileName[] = u"vkstart.log";
inline constexpr char16_t kOlderLogFileName[] = u"vkstart.1.log";
// A log larger than this at the start of a launch becomes the older log
// (its name with ".1" before ".log").
inline constexpr uint64_t kRotationSize = 1024 * 1024;

// The folder of `product`'s launch logs in the user's local (non-roaming)
// application data: ...\Kavrin\<product>\Logs; empty when that folder is
// unknown. Its existence tells that the launcher has run for this user here.
[[nodiscard]] std::u16string LogFolder(std::u16string_view product);

// Starts this process's log, `fileName` in `folder`, made when missing; a log
// over the rotation size is first moved over the older log, or emptied when
// that fails, so the two stay bounded. Lines go nowhere until this succeeds.
void Open(std::u16string_view folder, std::u16string_view fileName = kLogFileName);
// Ends the log; later lines go nowhere.
void Close();

// One line, written through to the file at once, so a launch that hangs or
// is killed shows how far it got.
void Record(std::string_view step, std::string_view text);
void Record(std::string_view step, std::u16string_view text);

// A number for a line, as text.
[[nodiscard]] std::string Number(int64_t value);
// A flag word for a line: "0x1f".
[[nodiscard]] std::string Hex(uint32_t value);
// A system error for a line: "5 (0x5)".
[[nodiscard]] std::string SystemError(long error);
// The number and the system error for a line built in UTF-16.
[[nodiscard]] std::u16string WideNumber(int64_t value);
[[nodiscard]] std::u16string WideSystemError(long error);

}  // namespace vk::launchlog
