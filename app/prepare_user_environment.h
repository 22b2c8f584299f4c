// The user's environment made ready for AutoCAD before it starts.
#pragma once

namespace vk::app {

class VkStartApp;

// Prepares the user's profile, files and menus; false ends the launch
// without AutoCAD and without a message (the launch log says why).
[[nodiscard]] bool PrepareUserEnvironment(VkStartApp& app);

}  // namespace vk::app
