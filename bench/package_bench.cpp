// Opening and saving menu packages, split into inflate, parse, serialise and
// deflate, against the zlib floor: inflating and level-9 deflating the same
// members with zlib alone. Usage: package_bench [package.cuix...]: the
// packages named (by default the corpus's largest main package), then a
// generated package of about 20 MB of members.
#include <malloc.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "cui/package_contents.h"
#include "cui/package_entries.h"
#include "cui/package_file.h"
#include "platform/files.h"
#include "platform/text.h"
#include "tests/support/generated_package.h"
#include "xml/node.h"
#include "xml/parser.h"
#include "xml/writer.h"

namespace {

using vk::cui::PackageContents;
using vk::cui::PackageEntry;

constexpr int kRuns = 5;

// The process's processor time in milliseconds: the machine is shared, and
// wall time would measure the neighbours too.
double ProcessorMs() {
  return 1000.0 * static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

// The median of kRuns runs, in milliseconds of processor time.
double Median(const std::function<void()>& run) {
  std::vector<double> times;
  for (int i = 0; i < kRuns; ++i) {
    const double start = ProcessorMs();
    run();
    times.push_back(ProcessorMs() - start);
  }
  std::sort(times.begin(), times.end());
  return times[kRuns / 2];
}

// Level 9 raw deflate, as minizip writes members.
std::string Deflate(const std::string& content) {
  z_stream stream{};
  deflateInit2(&stream, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&stream, static_cast<uLong>(content.size())), '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(content.data()));
  stream.avail_in = static_cast<uInt>(content.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return out;
}

void Inflate(const std::string& compressed, std::string* content) {
  z_stream stream{};
  inflateInit2(&stream, -MAX_WBITS);
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.data()));
  stream.avail_in = static_cast<uInt>(compressed.size());
  stream.next_out = reinterpret_cast<Bytef*>(content->data());
  stream.avail_out = static_cast<uInt>(content->size());
  inflate(&stream, Z_FINISH);
  inflateEnd(&stream);
}

bool IsPart(const PackageEntry& entry, PackageContents* contents) {
  for (const char16_t* name : vk::cui::PackagePartNames) {
    if (vk::cui::FindPackageEntry(contents, vk::platform::Utf16ToUtf8(name)) == &entry) return true;
  }
  return false;
}

void Measure(const std::u16string& original, const std::u16string& folder) {
  // Every phase and the floor work on the members as a save writes them:
  // the parts in the writer's layout, which deflates at its own speed.
  const std::u16string path = folder + u"/measured.cuix";
  const std::u16string saved = folder + u"/saved.cuix";
  const std::u16string scratchPath = folder + u"/scratch.tmp";
  vk::xml::XmlDocument first(vk::cui::OpenCustomisationFile(original));
  PackageContents contents;
  if (first == nullptr || vk::cui::SaveCustomisationFile(path, first.get(), false) != 0 ||
      !vk::cui::LoadPackageEntries(&contents, path)) {
    std::printf("cannot read %s\n", vk::platform::Utf16ToUtf8(original).c_str());
    return;
  }
  size_t total = 0;
  std::vector<const PackageEntry*> parts;
  for (const PackageEntry& entry : contents.entries) {
    total += entry.content.size();
    if (IsPart(entry, &contents)) parts.push_back(&entry);
  }

  const double inflate = Median([&] {
    PackageContents fresh;
    if (!vk::cui::LoadPackageEntries(&fresh, path)) std::abort();
  });
  std::vector<vk::xml::XmlDocument> trees(parts.size());
  const double parse = Median([&] {
    for (size_t i = 0; i < parts.size(); ++i) {
      trees[i].reset(vk::xml::XmlParse(parts[i]->content.c_str(), parts[i]->content.size()));
    }
  });
  std::FILE* scratch = vk::platform::OpenFile(scratchPath, u"w+b");
  const double serialise = Median([&] {
    for (const vk::xml::XmlDocument& tree : trees) {
      std::string bytes;
      if (vk::xml::XmlSerialize(scratch, tree.get(), &bytes) != 0) std::abort();
      std::rewind(scratch);
    }
  });
  std::fclose(scratch);
  const double deflate = Median([&] {
    if (!vk::cui::StorePackageEntries(contents, saved)) std::abort();
  });
  const double open = Median([&] {
    vk::xml::XmlDocument package(vk::cui::OpenCustomisationFile(path));
    if (package == nullptr) std::abort();
  });
  vk::xml::XmlDocument package(vk::cui::OpenCustomisationFile(path));
  const double save = Median([&] {
    if (vk::cui::SaveCustomisationFile(saved, package.get(), false) != 0) std::abort();
  });

  std::vector<std::string> compressed(contents.entries.size());
  const double zlibDeflate = Median([&] {
    for (size_t i = 0; i < contents.entries.size(); ++i) {
      if (contents.entries[i].header.compressionMethod == Z_DEFLATED) {
        compressed[i] = Deflate(contents.entries[i].content);
      }
    }
  });
  // The members stay in memory together, as a package holds them.
  const double zlibInflate = Median([&] {
    std::vector<std::string> inflated(contents.entries.size());
    for (size_t i = 0; i < contents.entries.size(); ++i) {
      if (compressed[i].empty()) continue;
      inflated[i].resize(contents.entries[i].content.size());
      Inflate(compressed[i], &inflated[i]);
    }
  });
  const double floor = zlibInflate + zlibDeflate;

  std::printf("%s: %zu members, %zu parts, %.1f MB of content\n",
              vk::platform::Utf16ToUtf8(original).c_str(), contents.entries.size(), parts.size(),
              static_cast<double>(total) / 1e6);
  std::printf(
      "  inflate %.1f ms (zlib %.1f), parse %.1f ms, serialise %.1f ms, deflate %.1f ms "
      "(zlib %.1f)\n",
      inflate, zlibInflate, parse, serialise, deflate, zlibDeflate);
  std::printf("  open %.1f ms + save %.1f ms = %.1f ms, zlib floor %.1f ms, ratio %.2f\n", open,
              save, open + save, floor, (open + save) / floor);
  [[maybe_unused]] const long removedMeasured = vk::platform::RemoveFile(path);
  [[maybe_unused]] const long removedSaved = vk::platform::RemoveFile(saved);
  [[maybe_unused]] const long removedScratch = vk::platform::RemoveFile(scratchPath);
}

}  // namespace

int main(int argc, char** argv) {
  // Keep freed memory in the process, so that every run, ours and the zlib
  // floor alike, reuses pages instead of some runs faulting in fresh ones.
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
  const char* tmp = std::getenv("TMPDIR");
  const std::u16string folder = vk::platform::Utf8ToUtf16(tmp != nullptr && *tmp ? tmp : "/tmp");
  for (int i = 1; i < argc; ++i) Measure(vk::platform::Utf8ToUtf16(argv[i]), folder);
  // 3.8 MB of members, the most of the corpus's main packages.
  if (argc == 1)
    Measure(vk::platform::Utf8ToUtf16(VK_CORPUS_DIR "/cuix/iaso2h__acad2024.CUIX"), folder);
  const std::u16string generated = folder + u"/vk_generated_bench.cuix";
  if (!vk::test::WriteGeneratedPackage(generated)) return 1;
  Measure(generated, folder);
  [[maybe_unused]] const long removed = vk::platform::RemoveFile(generated);
  return 0;
}
