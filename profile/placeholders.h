// Path placeholders of the registry scripts: $$NAME$$ tokens that stand for
// installation settings, so one script serves every machine and user.
#pragma once

#include <string>

#include "settings/settings.h"

namespace vk::profile {

// Replaces every token in `text` by its settings entry, exact case, until no
// token is left, the tokens of inserted entries included. An occurrence of a
// token that holds a character inserted for that same token (an entry holding
// its own token, directly or through other entries) is removed instead of
// expanded again, so the replacement always ends; where that never happens the
// result is the plain loop's. Text without tokens stays as it is.
void ReplacePlaceholders(std::u16string* text, const settings::Settings& settings);

}  // namespace vk::profile
