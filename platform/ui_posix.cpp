#include "platform/ui.h"

namespace vk::platform {

// The posix stand-in's windows are console output: no queue and no z-order.
void DispatchPendingMessages(KeyTranslation) {}
void LeaveTopmostBand() {}

}  // namespace vk::platform
