#include "platform/registry_posix.h"
#include "tests/support/scoped_env.h"
#include "tests/support/shared_registry.h"
#include "tests/support/test_paths.h"

namespace vk::test {

struct ScopedSharedRegistry::State {
  TempFolder folder;
  ScopedEnv variable{u"VKSTART_REGISTRY", folder.Join(u"registry.reg")};
};

ScopedSharedRegistry::ScopedSharedRegistry() : state_(std::make_unique<State>()) {
  platform::ReloadRegistry();
}

ScopedSharedRegistry::~ScopedSharedRegistry() {
  state_.reset();
  platform::ReloadRegistry();
}

void ScopedSharedRegistry::Refresh() {
  platform::ReloadRegistry();
}

}  // namespace vk::test
