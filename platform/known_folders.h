// The known folders the launcher relies on, and %NAME% expansion.
#pragma once

#include <string>
#include <string_view>

namespace vk::platform {

enum class KnownFolder {
  kCommonFiles,    // CSIDL_PROGRAM_FILES_COMMON; posix: %CommonProgramFiles%
  kCommonAppData,  // CSIDL_COMMON_APPDATA; posix: %ProgramData%
  kAppData,        // CSIDL_APPDATA; posix: %APPDATA%
  kLocalAppData,   // CSIDL_LOCAL_APPDATA (never roams); posix: %LOCALAPPDATA%
};

// The folder's path; false when the folder is unknown or does not exist.
[[nodiscard]] bool GetKnownFolder(KnownFolder folder, std::u16string* path);

// Replaces %NAME% by the environment variable's value, as
// ExpandEnvironmentStringsW does; unknown names stay as written.
std::u16string ExpandEnvironmentVariables(std::u16string_view text);

}  // namespace vk::platform
