// Command lines by the Windows rules.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vk::platform {

// Splits a command line as CommandLineToArgvW does: the program name up to
// the next quote or blank, then arguments by the backslash and quote rules.
// An empty line gives no arguments.
std::vector<std::u16string> SplitCommandLine(std::u16string_view commandLine);

// Arguments as a person would type them, for a log: separated by blanks,
// each in quotes when it is empty or holds a blank.
std::u16string ArgumentsAsTyped(const std::vector<std::u16string>& args);

// The arguments of this process, program path first (Windows: the process
// command line split as above; posix: the vector the process received).
std::vector<std::u16string> ProcessArguments();

}  // namespace vk::platform
