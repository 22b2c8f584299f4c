// The add-on's AutoCAD profile for the current user: created on first use
// (or after the installed modules changed), updated when the DT edition is new
// for the user, and completed from the profile and tool-catalog scripts.
#pragma once

#include <cstdint>

#include "settings/settings.h"

namespace vk::profile {

// Without the add-on profile key: removes the stale menu resource files and
// project profile, creates the key (which may set ToolPalettePath), imports
// the profile script and logs the key, the add-on's user key and the project
// profile for the uninstaller. With it: when DT is installed but not yet
// recorded for the user, points "ProfileStorage" and "ToolPalettePath" of its
// "General" key at the add-on's folders. Always true.
bool PrepareAddonProfile(settings::Settings* settings, uint32_t editionFlags,
                         uint32_t userEditionFlags);

// Imports StartLocation + "\prof_tmp.txt"; the import's result.
[[nodiscard]] bool ImportProfileScript(const settings::Settings& settings, uint32_t editionFlags);

// With "DT" in Modules, imports StartLocation + "\prof_cat.txt" once per user:
// skipped when the add-on's user key holds "Catalogs" = 1, which is set after
// every attempt, even when the file is missing. The import's result; true when
// nothing was to be done.
bool ImportCatalogScript(const settings::Settings& settings, uint32_t editionFlags);

}  // namespace vk::profile
