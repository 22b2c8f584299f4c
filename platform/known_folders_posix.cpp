#include <stdlib.h>
#include <string.h>
#include <strings.h>
#include <unistd.h>

#include "platform/files.h"
#include "platform/known_folders.h"
#include "platform/text.h"

extern char** environ;

namespace vk::platform {
namespace {

// Windows' environment names ignore case; prefer the exact spelling.
const char* FindVariable(const std::string& name) {
  if (const char* value = getenv(name.c_str())) return value;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const char* equals = strchr(*entry, '=');
    if (equals != nullptr && static_cast<size_t>(equals - *entry) == name.size() &&
        strncasecmp(*entry, name.c_str(), name.size()) == 0) {
      return equals + 1;
    }
  }
  return nullptr;
}

}  // namespace

bool GetKnownFolder(KnownFolder folder, std::u16string* path) {
  const char* name = folder == KnownFolder::kCommonFiles     ? "CommonProgramFiles"
                     : folder == KnownFolder::kCommonAppData ? "ProgramData"
                     : folder == KnownFolder::kAppData       ? "APPDATA"
                                                             : "LOCALAPPDATA";
  const char* value = getenv(name);
  if (value == nullptr || *value == 0) return false;
  std::u16string found = Utf8ToUtf16(value);
  // As on Windows, a folder that does not exist is no known folder.
  if (!FolderExists(found)) return false;
  *path = std::move(found);
  return true;
}

std::u16string ExpandEnvironmentVariables(std::u16string_view text) {
  std::u16string out;
  size_t i = 0;
  while (i < text.size()) {
    const size_t open = text.find(u'%', i);
    const size_t close = open == std::u16string_view::npos ? open : text.find(u'%', open + 1);
    if (close == std::u16string_view::npos) {
      out.append(text.substr(i));
      break;
    }
    out.append(text.substr(i, open - i));
    const std::u16string_view name = text.substr(open + 1, close - open - 1);
    const char* value = name.empty() ? nullptr : FindVariable(Utf16ToUtf8(name));
    if (value != nullptr) {
      out.append(Utf8ToUtf16(value));
      i = close + 1;
    } else {
      // An unknown name stays as written; its closing "%" may open the next one.
      out.append(text.substr(open, close - open));
      i = close;
    }
  }
  return out;
}

}  // namespace vk::platform
