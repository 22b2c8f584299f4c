// The console of whoever started the program, for a program that has no
// window of its own.
#pragma once

#include <string_view>

namespace vk::platform {

// Writes one line to the standard output the program was given, else
// (Windows) to the console of the process that started it; nowhere when
// there is neither, as at logon.
void WriteConsoleLine(std::u16string_view text);

}  // namespace vk::platform
