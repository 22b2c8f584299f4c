#include <windows.h>

#include <cstdio>
#include <string>
#include <utility>

#include "platform/files.h"
#include "platform/registry.h"
#include "platform/wide_win32.h"

namespace vk::platform {
namespace {

long Result(BOOL ok) {
  return ok ? kErrorSuccess : static_cast<long>(GetLastError());
}

}  // namespace

bool PathExists(std::u16string_view path) {
  return !path.empty() && GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool FolderExists(std::u16string_view path) {
  const DWORD attributes =
      path.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(Wide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

long CopyFileNoReplace(std::u16string_view source, std::u16string_view target) {
  return Result(CopyFileW(Wide(source).c_str(), Wide(target).c_str(), TRUE));
}

long MakeFolder(std::u16string_view path) {
  return Result(CreateDirectoryW(Wide(path).c_str(), nullptr));
}

long RemoveFile(std::u16string_view path) {
  return Result(DeleteFileW(Wide(path).c_str()));
}

long RemoveFolder(std::u16string_view path) {
  return Result(RemoveDirectoryW(Wide(path).c_str()));
}

long ReplaceFileAtomically(std::u16string_view replacement, std::u16string_view target) {
  // MoveFileExW replaces a read-only file where ReplaceFileW would refuse it.
  const DWORD attributes = GetFileAttributesW(Wide(target).c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    return ERROR_ACCESS_DENIED;
  }
  return Result(MoveFileExW(Wide(replacement).c_str(), Wide(target).c_str(),
                            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
}

std::u16string SaveTargetPath(std::u16string_view path) {
  return std::u16string(path);
}

bool ListFolder(std::u16string_view folder, std::u16string_view mask,
                std::vector<FolderItem>* items) {
  std::wstring pattern = Wide(folder);
  pattern += L'\\';
  pattern += Wide(mask);
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(pattern.c_str(), &data);
  items->clear();
  if (find == INVALID_HANDLE_VALUE) {
    // No match in an existing folder is an empty list, not a failure.
    return GetLastError() == ERROR_FILE_NOT_FOUND && FolderExists(folder);
  }
  do {
    const std::wstring name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    items->push_back({std::u16string(reinterpret_cast<const char16_t*>(name.c_str()), name.size()),
                      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return true;
}

bool GetTempFolder(std::u16string* path) {
  wchar_t folder[MAX_PATH + 1];
  DWORD length = GetTempPathW(MAX_PATH + 1, folder);
  if (length == 0 || length > MAX_PATH) return false;
  while (length > 3 && folder[length - 1] == L'\\') --length;
  path->assign(reinterpret_cast<const char16_t*>(folder), length);
  return true;
}

bool MakeTempFile(std::u16string_view prefix, std::u16string* path) {
  std::u16string folder;
  if (!GetTempFolder(&folder)) return false;
  // Allocated before the file exists: running out of memory afterwards would
  // leave a file nobody knows of.
  std::u16string created(MAX_PATH + 1, u'\0');
  const std::wstring start = Wide(prefix);
  if (GetTempFileNameW(Wide(folder).c_str(), start.c_str(), 0,
                       reinterpret_cast<wchar_t*>(created.data())) == 0) {
    return false;
  }
  created.resize(created.find(u'\0'));
  *path = std::move(created);
  return true;
}

std::FILE* OpenFile(std::u16string_view path, std::u16string_view mode) {
  return _wfopen(Wide(path).c_str(), Wide(mode).c_str());
}

bool FileSize(std::u16string_view path, uint64_t* size) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(Wide(path).c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return false;
  }
  *size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  return true;
}

}  // namespace vk::platform
