// Opening and saving customisation files: a ".cuix" menu package (a ZIP
// archive whose XML parts become part elements under one package container)
// or a single XML file such as a workspace profile.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "xml/node.h"

namespace vk::cui {

struct ZipStream;

// Results of the saves.
inline constexpr int kSaveOk = 0;
inline constexpr int kSaveFailed = -1;
inline constexpr int kSaveNoDocument = 2;

// True when the path ends in ".cuix", letter case ignored.
[[nodiscard]] bool IsPackagePath(std::u16string_view path);

// The document in the file: a package container for a package path, else the
// first top-level node; none when the file cannot be read or is malformed.
// The caller releases it with NodeFree.
[[nodiscard]] xml::XmlNode* OpenCustomisationFile(std::u16string_view path);

// Saves the document in the form that the path asks for (WritePackage for a
// package path); with `record`, a successful save is recorded as the menu
// file of the profile that SetMenuFileRecord named. kSaveOk; kSaveNoDocument
// for no document; the writer's code when it fails; kSaveFailed when no file
// can be written; the stream's error indicator for an incomplete write. A
// failed save leaves the file at `path` as it was.
[[nodiscard]] int SaveCustomisationFile(std::u16string_view path, xml::XmlNode* document,
                                        bool record);

// The package at `path` as a container, or none when the archive or any
// member cannot be read or a recognised part is not XML.
[[nodiscard]] xml::XmlNode* ReadPackage(std::u16string_view path);
// The same from any archive that minizip's callbacks reach.
[[nodiscard]] xml::XmlNode* ReadPackageFrom(ZipStream* zip);

// Serialises every part of the container into its member and rewrites the
// archive at `path`: kSaveOk; kSaveFailed for a node that is no package
// container, a container without parts, or an archive that cannot be
// written; the writer's code for the first part that cannot be serialised
// (the file and the members are then not touched). The parts are serialised
// on the package workers, each with a scratch stream of its own.
[[nodiscard]] int WritePackage(std::u16string_view path, xml::XmlNode* container, bool record);

// The path of a new empty file in the temporary folder, or none.
[[nodiscard]] std::optional<std::u16string> MakeScratchFileName();

}  // namespace vk::cui
