// Opening and saving menu packages, split into inflate, parse, serialise and
// deflate, against the zlib floor: inflating and level-9 deflating the same
// members with zlib alone, on one thread. Opens and saves run on the package
// workers (the hardware's thread count) and, for comparison, on one thread.
// Every figure is the median of kRuns runs in wall-clock time, with the
// median processor time of all threads beside it; the load average before and
// after tells whether the machine was idle. Usage: package_bench
// [package.cuix...]: the packages named (by default the corpus's largest main
// package), then a generated package of about 20 MB of members.
#include <malloc.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "cui/package_contents.h"
#include "cui/package_entries.h"
#include "cui/package_file.h"
#include "cui/package_workers.h"
#include "platform/files.h"
#include "platform/text.h"
#include "tests/support/generated_package.h"
#include "xml/node.h"
#include "xml/parser.h"
#include "xml/writer.h"

namespace {

using vk::cui::PackageContents;
using vk::cui::PackageEntry;

constexpr int kRuns = 7;

// Milliseconds of wall-clock time and of processor time (all threads).
struct Timing {
  double wall = 0;
  double processor = 0;
};

Timing operator+(Timing a, Timing b) {
  return {a.wall + b.wall, a.processor + b.processor};
}

double WallMs() {
  return std::chrono::duration<double, std::milli>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

double ProcessorMs() {
  return 1000.0 * static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

double MedianOf(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// The medians of kRuns runs.
Timing Median(const std::function<void()>& run) {
  std::vector<double> walls;
  std::vector<double> processors;
  for (int i = 0; i < kRuns; ++i) {
    const double wall = WallMs();
    const double processor = ProcessorMs();
    run();
    processors.push_back(ProcessorMs() - processor);
    walls.push_back(WallMs() - wall);
  }
  return {MedianOf(walls), MedianOf(processors)};
}

std::string Shown(Timing timing) {
  char text[64];
  std::snprintf(text, sizeof text, "%.1f (%.1f) ms", timing.wall, timing.processor);
  return text;
}

double LoadAverage() {
  double load = -1;
  if (std::FILE* file = std::fopen("/proc/loadavg", "r")) {
    if (std::fscanf(file, "%lf", &load) != 1) load = -1;
    std::fclose(file);
  }
  return load;
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

  const Timing inflate = Median([&] {
    PackageContents fresh;
    if (!vk::cui::LoadPackageEntries(&fresh, path)) std::abort();
  });
  std::vector<vk::xml::XmlDocument> trees(parts.size());
  const Timing parse = Median([&] {
    for (size_t i = 0; i < parts.size(); ++i) {
      trees[i].reset(vk::xml::XmlParse(parts[i]->content.c_str(), parts[i]->content.size()));
    }
  });
  std::FILE* scratch = vk::platform::OpenFile(scratchPath, u"w+b");
  const Timing serialise = Median([&] {
    for (const vk::xml::XmlDocument& tree : trees) {
      std::string bytes;
      if (vk::xml::XmlSerialize(scratch, tree.get(), &bytes) != 0) std::abort();
      std::rewind(scratch);
    }
  });
  std::fclose(scratch);
  const Timing deflate = Median([&] {
    if (!vk::cui::StorePackageEntries(contents, saved)) std::abort();
  });
  const auto openAndSave = [&] {
    const Timing open = Median([&] {
      vk::xml::XmlDocument package(vk::cui::OpenCustomisationFile(path));
      if (package == nullptr) std::abort();
    });
    vk::xml::XmlDocument package(vk::cui::OpenCustomisationFile(path));
    const Timing save = Median([&] {
      if (vk::cui::SaveCustomisationFile(saved, package.get(), false) != 0) std::abort();
    });
    return open + save;
  };
  const Timing both = openAndSave();
  vk::cui::SetPackageWorkers(1);
  const Timing oneThread = openAndSave();
  vk::cui::SetPackageWorkers(0);

  std::vector<std::string> compressed(contents.entries.size());
  const Timing zlibDeflate = Median([&] {
    for (size_t i = 0; i < contents.entries.size(); ++i) {
      if (contents.entries[i].header.compressionMethod == Z_DEFLATED) {
        compressed[i] = Deflate(contents.entries[i].content);
      }
    }
  });
  // The members stay in memory together, as a package holds them.
  const Timing zlibInflate = Median([&] {
    std::vector<std::string> inflated(contents.entries.size());
    for (size_t i = 0; i < contents.entries.size(); ++i) {
      if (compressed[i].empty()) continue;
      inflated[i].resize(contents.entries[i].content.size());
      Inflate(compressed[i], &inflated[i]);
    }
  });
  const Timing floor = zlibInflate + zlibDeflate;

  std::printf("%s: %zu members, %zu parts, %.1f MB of content; %zu threads\n",
              vk::platform::Utf16ToUtf8(original).c_str(), contents.entries.size(), parts.size(),
              static_cast<double>(total) / 1e6, vk::cui::PackageWorkers());
  std::printf("  wall clock (processor time of all threads), medians of %d runs\n", kRuns);
  std::printf("  inflate %s, zlib alone %s\n", Shown(inflate).c_str(), Shown(zlibInflate).c_str());
  std::printf("  parse %s, serialise %s (one thread each)\n", Shown(parse).c_str(),
              Shown(serialise).c_str());
  std::printf("  deflate %s, zlib alone %s\n", Shown(deflate).c_str(), Shown(zlibDeflate).c_str());
  std::printf("  open + save %s; on one thread %s; zlib floor %s\n", Shown(both).c_str(),
              Shown(oneThread).c_str(), Shown(floor).c_str());
  std::printf("  ratio to the floor: %.2f wall clock, %.2f processor time; one thread %.2f\n",
              both.wall / floor.wall, both.processor / floor.processor,
              oneThread.wall / floor.wall);
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
  std::printf("load average %.2f before\n", LoadAverage());
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
  std::printf("load average %.2f after\n", LoadAverage());
  return 0;
}
