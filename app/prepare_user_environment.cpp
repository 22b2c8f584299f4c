#include "app/prepare_user_environment.h"

namespace vk::app {

// Nothing to prepare yet: the launch goes straight on to AutoCAD.
bool PrepareUserEnvironment(VkStartApp& /*app*/) {
  return true;
}

}  // namespace vk::app
