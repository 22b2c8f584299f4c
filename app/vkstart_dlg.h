// The splash window, the launcher's main window.
#pragma once

namespace vk::app {

class CVkstartDlg {
 public:
  // Whether the splash picture is painted ("nologo" turns it off).
  bool showBitmap = true;
};

}  // namespace vk::app
