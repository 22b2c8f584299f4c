// The launch log's lines about the run as a whole: who started it and how,
// the settings it decided by, and how it ended.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "settings/settings.h"

namespace vk::app {

// Opens this launch's log and writes the first lines of its block.
void BeginLaunchLog(const std::vector<std::u16string>& args);
// The settings that decide paths, and the edition flags.
void RecordSettings(const settings::Settings& settings, uint32_t editionFlags,
                    uint32_t userEditionFlags);
// The last line of the block; the log ends.
void EndLaunchLog(std::string_view result);

}  // namespace vk::app
