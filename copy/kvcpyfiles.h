// The copy engine: copies a folder tree from the installation into a folder
// of the user, file by file, never over an existing file unless told to,
// and records the top-most folders it filled in the uninstall log.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "copy/copy_status.h"
#include "copy/top_most_folders.h"

namespace vk::copy {

class kvcpyfiles {
 public:
  kvcpyfiles() = default;
  virtual ~kvcpyfiles() = default;
  kvcpyfiles(const kvcpyfiles&) = delete;
  kvcpyfiles& operator=(const kvcpyfiles&) = delete;

  // Sets the status line shown while copying (null: none); the next copied
  // file shows its window again.
  void SetStatusWindow(CopyStatus* status);
  // A whole run: the copy list read (empty path: every file), the tree copied
  // once per mask; the number of files copied. Nothing is copied from or into
  // a path that begins with a single backslash. Clears the status line after.
  int CopyFiles(std::u16string_view source, std::u16string_view destination,
                std::u16string_view listPath, bool overwrite);
  // Fills the mask list from a copy list: ";" starts a comment, blanks and
  // tabs are trimmed, empty lines skipped; "*.*" when the list cannot be read.
  void ReadCopyList(std::u16string_view listPath);
  // Copies what source + mask matches into destination (both ending in a
  // separator); a matching folder is copied whole. The number of files copied.
  int CopyFolder(std::u16string_view source, std::u16string_view destination,
                 std::u16string_view mask, bool overwrite);
  // Creates a folder and its missing parents; true when it exists afterwards.
  [[nodiscard]] bool CreateFolderPath(std::u16string_view path);
  // Records a folder that received a file, keeping only top-most folders:
  // nothing when it or a folder holding it is recorded; otherwise it takes
  // the place of the first recorded folder it holds, or is appended.
  void AddCopiedFolder(std::u16string_view folder);
  // Appends a "3," record for each recorded folder that the log at `logPath`
  // does not hold yet (exact case), and drops the others from the list; the
  // log is created when missing. Nothing is written when the log cannot be
  // opened, nor at a path that begins with a single backslash.
  void WriteUninstallLog(std::u16string_view logPath);

  // The masks of the current run, in list order.
  const std::vector<std::u16string>& masks() const { return masks_; }
  // The recorded folders, in the order they were recorded.
  const std::vector<std::u16string>& copiedFolders() const { return copiedFolders_.list(); }

 private:
  // Shows the status line at the first copied file and names the file.
  void ReportCopied(std::u16string_view fileName);
  // Lets the windows answer when 100 ms have passed since they last could.
  void KeepResponsive();
  // Counts a failure of the run and names the first few in the launch log.
  void RecordFailure(const std::u16string& what, std::optional<long> error);

  CopyStatus* status_ = nullptr;
  bool shown_ = false;
  std::vector<std::u16string> masks_;
  TopMostFolders copiedFolders_;
  // Files of this run that were there already, and that failed.
  int present_ = 0;
  int failed_ = 0;
  std::chrono::steady_clock::time_point lastDispatch_{};
};

}  // namespace vk::copy
