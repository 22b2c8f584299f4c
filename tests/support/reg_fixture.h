// Registry fixtures written as .reg files, applied through the registry API
// so that they work on both backends.
#pragma once

#include <string>
#include <string_view>

namespace vk::test {

// Reads a .reg file and applies it: [-key] deletes a subtree, [key] creates a
// key, values are set or deleted. Keys may lie under HKEY_CURRENT_USER or
// HKEY_LOCAL_MACHINE. False with `error` (if given) when the file cannot be
// read or parsed (then nothing is applied) or a registry call fails.
bool ApplyRegFile(std::u16string_view path, std::u16string* error = nullptr);

}  // namespace vk::test
