// What the copy engine shows while it copies. The engine sits below the
// application's windows, so the wait dialog reaches it through this hook.
#pragma once

#include <string_view>

namespace vk::copy {

class CopyStatus {
 public:
  virtual ~CopyStatus() = default;
  // Shows the window that holds the status line.
  virtual void Show() = 0;
  // Puts a copied file's name into the status line and repaints it at once.
  virtual void SetText(std::u16string_view fileName) = 0;
  // Dispatches the messages waiting for the user-interface thread, so that
  // its windows keep answering while the copy goes on.
  virtual void DispatchMessages() = 0;
};

}  // namespace vk::copy
