#include "cui/package_file.h"

#include <array>
#include <cstdio>
#include <list>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "cui/file_replacement.h"
#include "cui/menu_file_record.h"
#include "cui/package_contents.h"
#include "cui/package_entries.h"
#include "cui/package_workers.h"
#include "cui/save_fault.h"
#include "cui/zip_stream.h"
#include "platform/fail_on_exception.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "platform/text.h"
#include "xml/parser.h"
#include "xml/writer.h"

namespace vk::cui {
namespace {

using xml::XmlNode;

constexpr std::u16string_view kPackageSuffix = u".cuix";

// Removes the scratch file when the save is done with it.
class ScratchFile {
 public:
  ScratchFile() : path_(SaveStepFails() ? std::nullopt : MakeScratchFileName()) {}
  ~ScratchFile() {
    if (!path_) return;
    // Out of memory here must not end the program; the temporary folder is
    // the system's to clean then.
    [[maybe_unused]] const long removed = platform::FailOnException(
        platform::kErrorNotEnoughMemory, [&] { return platform::RemoveFile(*path_); });
  }
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;

  // Opens the file "w+b"; null when there is no file or it cannot be opened.
  std::FILE* Open() const { return path_ ? platform::OpenFile(*path_, u"w+b") : nullptr; }

 private:
  std::optional<std::u16string> path_;
};

using File = platform::UniqueFile;

// The member that a part element is stored in: the one it was read from, or,
// for a part that an edit created, the part element's own name.
std::u16string_view PartMemberName(const XmlNode* part) {
  const XmlNode* first = part->firstChild;
  const xml::extraData* extra = first != nullptr ? xml::NodeExtra(first) : nullptr;
  if (extra != nullptr && extra->kind == kPartNameDataKind) {
    return static_cast<const extraDataFileName*>(extra)->entryName;
  }
  return part->name.view();
}

// Makes the parsed chain the children of a new part element under the container.
bool AttachPart(XmlNode* container, const char16_t* partName, xml::XmlDocument chain) {
  xml::NodeSetExtra(chain.get(), std::make_unique<extraDataFileName>(partName));
  xml::XmlDocument part(xml::NodeNew(partName, nullptr));
  part->firstChild = chain.release();
  for (XmlNode* node = part->firstChild; node != nullptr; node = node->next)
    node->parent = part.get();
  if (!xml::NodeAppendChild(container, part.get())) return false;
  part.release();
  return true;
}

// The whole file in one block; false when it cannot be read whole or is empty.
bool ReadPlainFile(std::u16string_view path, std::string* bytes) {
  // A folder opens for reading on posix and reports a bogus length.
  if (platform::FolderExists(path)) return false;
  File file(platform::OpenFile(path, u"rb"));
  if (!file || std::fseek(file.get(), 0, SEEK_END) != 0) return false;
  const long length = std::ftell(file.get());
  if (length <= 0 || std::fseek(file.get(), 0, SEEK_SET) != 0) return false;
  bytes->resize(static_cast<size_t>(length));
  return std::fread(bytes->data(), 1, bytes->size(), file.get()) == bytes->size();
}

// Writes the bytes as the new content of `path`: kSaveOk, kSaveFailed, or
// the stream's error indicator after an incomplete write.
int WritePlainFile(std::u16string_view path, const std::string& bytes) {
  const FileReplacement files = PlanReplacement(path);
  File file(SaveStepFails() ? nullptr : platform::OpenFile(files.replacement, u"wb"));
  if (!file) return kSaveFailed;
  int result = kSaveOk;
  if (SaveStepFails() || std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) {
    result = std::ferror(file.get()) != 0 ? std::ferror(file.get()) : kSaveFailed;
  }
  // A buffered write can still fail here, when the data reaches the disk.
  const bool closed = std::fclose(file.release()) == 0 && !SaveStepFails();
  if (result == kSaveOk && !closed) result = kSaveFailed;
  if (!CommitReplacement(files, result == kSaveOk) && result == kSaveOk) {
    result = kSaveFailed;
  }
  return result;
}

// The index in PackagePartNames of the part that member `index` holds: the
// part whose name it has, unless an earlier member has that name too.
std::optional<size_t> PartOfMember(PackageContents* contents, size_t index) {
  const PackageEntry* entry = &contents->entries[index];
  for (size_t part = 0; part < PackagePartNames.size(); ++part) {
    if (FindPackageEntry(contents, platform::Utf16ToUtf8(PackagePartNames[part])) == entry) {
      return part;
    }
  }
  return std::nullopt;
}

// The container of the package that `zip` reaches; see ReadPackageFrom. Each
// part is parsed on the worker that inflated its member.
XmlNode* ReadPackageContainer(ZipStream* zip) {
  auto data = std::make_unique<extraDataZlib>();
  PackageContents& contents = data->contents;
  std::array<xml::XmlDocument, PackagePartNames.size()> chains;
  const auto parse = [&](size_t index) {
    const std::optional<size_t> part = PartOfMember(&contents, index);
    if (!part) return true;
    // std::string keeps a zero after the content, which the parser expects.
    const std::string& content = contents.entries[index].content;
    chains[*part].reset(xml::XmlParse(content.c_str(), content.size()));
    return chains[*part] != nullptr;
  };
  if (!LoadPackageEntriesFrom(&contents, zip, parse)) return nullptr;
  xml::XmlDocument container(xml::NodeNew(nullptr, nullptr));
  xml::NodeSetExtra(container.get(), std::move(data));
  for (size_t part = 0; part < PackagePartNames.size(); ++part) {
    if (chains[part] == nullptr) continue;
    if (!AttachPart(container.get(), PackagePartNames[part], std::move(chains[part]))) {
      return nullptr;
    }
  }
  return container.release();
}

// Scratch streams, one per worker.
class ScratchStreams {
 public:
  // Makes and opens `count` scratch files; false when one cannot be made or opened.
  bool Open(size_t count) {
    for (size_t i = 0; i < count; ++i) {
      files_.emplace_back();
      // Held before it is stored, so that running out of memory while
      // storing it still closes it, and the file can be removed.
      File stream(files_.back().Open());
      if (!stream) return false;
      streams_.push_back(std::move(stream));
    }
    return true;
  }
  std::FILE* Stream(size_t worker) const { return streams_[worker].get(); }

 private:
  // Declared first, so that the streams close before their files are removed.
  std::list<ScratchFile> files_;
  std::vector<File> streams_;
};

// Serialises every part on the workers into `bytes` (one per part, in
// container order): kSaveOk, or the code of the first part in container order
// that failed.
int SerialiseParts(const std::vector<const XmlNode*>& parts, PackageContents* contents,
                   std::vector<std::string>* bytes) {
  ScratchStreams scratch;
  if (!scratch.Open(WorkersFor(parts.size()))) return kSaveFailed;
  bytes->resize(parts.size());
  std::vector<int> results(parts.size(), kSaveFailed);
  // A part takes about as long as the member it was read from.
  std::vector<size_t> sizes;
  for (const XmlNode* part : parts) {
    const PackageEntry* entry =
        FindPackageEntry(contents, platform::Utf16ToUtf8(PartMemberName(part)));
    sizes.push_back(entry != nullptr ? entry->content.size() : 0);
  }
  // Every part is written even after one failed, so that the code reported
  // is the first part's, as when they are written one after another.
  const bool ran = RunOnWorkers(LargestFirst(sizes), [&](size_t index, size_t worker) {
    std::FILE* stream = scratch.Stream(worker);
    results[index] = xml::XmlSerialize(stream, parts[index]->firstChild, &(*bytes)[index]);
    // The next part overwrites the scratch file from its start.
    std::rewind(stream);
    return true;
  });
  if (!ran) return kSaveFailed;
  for (const int result : results) {
    if (result != kSaveOk) return result;
  }
  return kSaveOk;
}

// Serialises every part into its member and stores the archive; see
// WritePackage.
int WritePackageParts(std::u16string_view path, XmlNode* container, bool record) {
  PackageContents* contents = ContainerContents(container);
  if (contents == nullptr) return kSaveFailed;
  std::vector<const XmlNode*> parts;
  for (const XmlNode* part = container->firstChild; part != nullptr; part = part->next) {
    parts.push_back(part);
  }
  if (parts.empty()) return kSaveFailed;
  std::vector<std::string> bytes;
  const int result = SerialiseParts(parts, contents, &bytes);
  if (result != kSaveOk) return result;
  for (size_t i = 0; i < parts.size(); ++i) {
    if (!bytes[i].empty() &&
        !ReplacePackageEntry(contents, PartMemberName(parts[i]), std::move(bytes[i]))) {
      return kSaveFailed;
    }
  }
  if (!StorePackageEntries(*contents, path)) return kSaveFailed;
  if (record) WriteMenuFileRecord(path);
  return kSaveOk;
}

// Serialises a plain document and writes it; see SaveCustomisationFile.
int SavePlainDocument(std::u16string_view path, XmlNode* document, bool record) {
  std::string bytes;
  int result = kSaveFailed;
  {
    ScratchFile scratchFile;
    File scratch(scratchFile.Open());
    if (!scratch) return kSaveFailed;
    result = xml::XmlSerialize(scratch.get(), document, &bytes);
  }
  if (result == kSaveOk && !bytes.empty()) result = WritePlainFile(path, bytes);
  if (result == kSaveOk && record) WriteMenuFileRecord(path);
  return result;
}

}  // namespace

bool IsPackagePath(std::u16string_view path) {
  if (path.size() < kPackageSuffix.size()) return false;
  return platform::CompareAsciiNoCase(path.substr(path.size() - kPackageSuffix.size()),
                                      kPackageSuffix) == 0;
}

XmlNode* OpenCustomisationFile(std::u16string_view path) {
  if (IsPackagePath(path)) return ReadPackage(path);
  return platform::FailOnException<XmlNode*>(nullptr, [&]() -> XmlNode* {
    std::string bytes;
    if (!ReadPlainFile(path, &bytes)) return nullptr;
    return xml::XmlParse(bytes.c_str(), bytes.size());
  });
}

XmlNode* ReadPackageFrom(ZipStream* zip) {
  return platform::FailOnException<XmlNode*>(nullptr, [&] { return ReadPackageContainer(zip); });
}

XmlNode* ReadPackage(std::u16string_view path) {
  const std::u16string file(path);
  ZipStream zip;
  UseFileCallbacks(&zip, file);
  return ReadPackageFrom(&zip);
}

int WritePackage(std::u16string_view path, XmlNode* container, bool record) {
  return platform::FailOnException(kSaveFailed,
                                   [&] { return WritePackageParts(path, container, record); });
}

int SaveCustomisationFile(std::u16string_view path, XmlNode* document, bool record) {
  if (IsPackagePath(path)) return WritePackage(path, document, record);
  if (document == nullptr) return kSaveNoDocument;
  return platform::FailOnException(kSaveFailed,
                                   [&] { return SavePlainDocument(path, document, record); });
}

std::optional<std::u16string> MakeScratchFileName() {
  std::u16string path;
  if (!platform::MakeTempFile(u"VK_CUI_", &path)) return std::nullopt;
  return path;
}

}  // namespace vk::cui
