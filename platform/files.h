// Files and folders by Windows path. The posix backend maps "\" to "/" and
// resolves each path component without regard to letter case when the exact
// name does not exist, so one path names one file on both backends.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vk::platform {

inline constexpr long kErrorFileExists = 80;
inline constexpr long kErrorAlreadyExists = 183;
inline constexpr long kErrorPathNotFound = 3;
inline constexpr long kErrorDirNotEmpty = 145;

// True when a file or folder of that path exists.
[[nodiscard]] bool PathExists(std::u16string_view path);
// True when the path names a folder.
[[nodiscard]] bool FolderExists(std::u16string_view path);

// The size of a file, 64-bit on both backends; false when it cannot be told.
[[nodiscard]] bool FileSize(std::u16string_view path, uint64_t* size);

// Copies a file; fails with kErrorFileExists when the target exists.
[[nodiscard]] long CopyFileNoReplace(std::u16string_view source, std::u16string_view target);
// Creates one folder (its parent must exist); kErrorAlreadyExists when it does.
[[nodiscard]] long MakeFolder(std::u16string_view path);
// Creates a folder and its missing parents: kErrorSuccess when it exists
// afterwards, else the error of the first folder that could not be made.
[[nodiscard]] long MakeFolderPath(std::u16string_view path);
// Deletes a file; kErrorFileNotFound when it is missing.
[[nodiscard]] long RemoveFile(std::u16string_view path);
// Deletes an empty folder; kErrorDirNotEmpty when it holds anything.
[[nodiscard]] long RemoveFolder(std::u16string_view path);
// Replaces `target` by `replacement` in one step (the target may be missing);
// on failure both files stay as they were. A read-only target (posix: one
// without any write bit) is the user's "do not change", whoever runs us:
// kErrorAccessDenied. On posix the new file takes the target's permissions.
[[nodiscard]] long ReplaceFileAtomically(std::u16string_view replacement,
                                         std::u16string_view target);
// The file that a save of `path` replaces: on posix, where a symbolic link is
// the user's way to keep the file elsewhere, the file the link names (through
// every link); `path` itself otherwise.
[[nodiscard]] std::u16string SaveTargetPath(std::u16string_view path);

struct FolderItem {
  std::u16string name;
  bool isFolder = false;
};
// Items of `folder` whose names match `mask` (* and ?, without regard to
// case), never "." or ".."; false when the folder cannot be read.
[[nodiscard]] bool ListFolder(std::u16string_view folder, std::u16string_view mask,
                              std::vector<FolderItem>* items);

// The user's temporary folder, without a trailing separator (Windows:
// GetTempPathW; posix: TMPDIR, else /tmp); false when it cannot be told.
[[nodiscard]] bool GetTempFolder(std::u16string* path);

// Creates a new empty file with a unique name in the temporary folder (only
// the first three characters of `prefix` are used, as GetTempFileNameW does).
[[nodiscard]] bool MakeTempFile(std::u16string_view prefix, std::u16string* path);

// fopen of a Windows path with a mode such as u"rb" or u"w+b"; null on failure.
std::FILE* OpenFile(std::u16string_view path, std::u16string_view mode);

// Appends the whole file to `bytes`; false when it cannot be opened or read,
// or when it holds more than `limit` bytes (then only part of it is appended).
[[nodiscard]] bool ReadWholeFile(std::u16string_view path, std::string* bytes,
                                 size_t limit = SIZE_MAX);
// Writes `bytes` as the whole file, creating or replacing it; false when it
// cannot be opened, written or closed.
[[nodiscard]] bool WriteWholeFile(std::u16string_view path, std::string_view bytes);

// An open file that is closed when it goes away.
struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace vk::platform
