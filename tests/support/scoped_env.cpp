#include "tests/support/scoped_env.h"

namespace vk::test {

ScopedEnv::ScopedEnv(std::u16string_view name, const std::optional<std::u16string>& value)
    : name_(name), saved_(GetEnv(name)) {
  SetEnv(name_, value);
}

ScopedEnv::~ScopedEnv() {
  SetEnv(name_, saved_);
}

}  // namespace vk::test
