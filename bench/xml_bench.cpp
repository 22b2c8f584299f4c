// Parse and write speed of the XML reader and writer against pugixml,
// tinyxml2 and libxml2 on the same bytes: warm (repeated in one process after
// a first run) and one-shot (a fresh process per run), median of several runs.
//
// usage: xml_bench [RUNS]
//        xml_bench --one-shot LIBRARY parse|write DOCUMENT   (one run; prints seconds)
//        xml_bench --memory LIBRARY DOCUMENT   (one parse; prints bytes held, peak RSS growth)
#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "bench/bench_documents.h"
#include "bench/xml_libraries.h"

namespace vk::bench {
namespace {

// The thread's processor time, user and system: on a shared machine it is far
// steadier than the wall clock, and it still counts the page faults.
struct Clock {
  using time_point = double;
  static double now() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
  }
};

double Seconds(Clock::time_point start) {
  return Clock::now() - start;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 != 0 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// One timed parse (release not timed) or write; negative when it failed.
double TimeOnce(XmlLibrary& library, std::string_view operation, const std::string& bytes) {
  if (operation == "parse") {
    const Clock::time_point start = Clock::now();
    const bool ok = library.Parse(bytes);
    const double seconds = Seconds(start);
    library.Release();
    return ok ? seconds : -1;
  }
  if (!library.Parse(bytes)) return -1;
  const Clock::time_point start = Clock::now();
  const size_t written = library.Write();
  const double seconds = Seconds(start);
  library.Release();
  return written > 0 ? seconds : -1;
}

// Median of warm runs: the first run only warms the heap and the caches.
double TimeWarm(XmlLibrary& library, std::string_view operation, const std::string& bytes,
                int runs) {
  std::vector<double> times;
  if (operation == "parse") {
    if (TimeOnce(library, "parse", bytes) < 0) return -1;
    for (int i = 0; i < runs; ++i) times.push_back(TimeOnce(library, "parse", bytes));
  } else {
    if (!library.Parse(bytes) || library.Write() == 0) return -1;
    for (int i = 0; i < runs; ++i) {
      const Clock::time_point start = Clock::now();
      library.Write();
      times.push_back(Seconds(start));
    }
    library.Release();
  }
  return Median(times);
}

std::string SelfPath() {
  char path[4096];
  const ssize_t size = readlink("/proc/self/exe", path, sizeof path - 1);
  return size > 0 ? std::string(path, static_cast<size_t>(size)) : std::string();
}

// The figure that this program prints when run with `arguments` in a fresh
// process; negative on failure.
double FreshProcessFigure(const std::string& arguments) {
  std::FILE* child = popen((SelfPath() + " " + arguments).c_str(), "r");
  double figure = -1;
  if (child == nullptr || std::fscanf(child, "%lf", &figure) != 1) figure = -1;
  if (child != nullptr) pclose(child);
  return figure;
}

// Median of runs in fresh processes.
double TimeOneShot(const std::string& library, const char* operation, const char* document,
                   int runs) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const double seconds =
        FreshProcessFigure("--one-shot " + library + " " + operation + " " + document);
    if (seconds < 0) return -1;
    times.push_back(seconds);
  }
  return Median(times);
}

// Warm runs in a process of their own, so that what earlier figures left in
// the heap does not count against a large document.
double TimeWarmInFreshProcess(const std::string& library, const char* document, int runs) {
  return FreshProcessFigure("--warm " + library + " " + document + " " + std::to_string(runs));
}

// One timed operation (runs == 0) or the median of warm parses, in this
// fresh process.
int OneShot(const char* libraryName, const char* operation, const char* document, int runs) {
  const std::string bytes = DocumentNamed(document);
  for (auto& library : AllLibraries()) {
    if (std::string_view(library->name()) != libraryName) continue;
    std::printf("%.9f\n", runs == 0 ? TimeOnce(*library, operation, bytes)
                                    : TimeWarm(*library, "parse", bytes, runs));
    return 0;
  }
  return 1;
}

long PeakResidentBytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss * 1024L;
}

size_t HeapInUse() {
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
}

// One parse in this fresh process: the heap that the parsed document holds,
// by the allocator's statistics, and how far the peak resident size grew.
int Memory(const char* libraryName, const char* document) {
  const std::string bytes = DocumentNamed(document);
  for (auto& library : AllLibraries()) {
    if (std::string_view(library->name()) != libraryName) continue;
    const size_t heapBefore = HeapInUse();
    const long peakBefore = PeakResidentBytes();
    if (!library->Parse(bytes)) return 1;
    std::printf("%zu %ld\n", HeapInUse() - heapBefore, PeakResidentBytes() - peakBefore);
    return 0;
  }
  return 1;
}

struct Row {
  std::string label;
  std::vector<double> megabytesPerSecond;  // per library (or another figure); 0 when it failed
};

// The heap that `--memory` reports for the parsed document; negative on failure.
double HeldInFreshProcess(const std::string& library, const char* document) {
  const std::string command = SelfPath() + " --memory " + library + " " + document;
  std::FILE* child = popen(command.c_str(), "r");
  double held = -1;
  long peak = 0;
  if (child == nullptr || std::fscanf(child, "%lf %ld", &held, &peak) != 2) held = -1;
  if (child != nullptr) pclose(child);
  return held;
}

void PrintTable(const std::vector<std::string>& names, const std::vector<Row>& rows,
                const char* unit = "MB/s") {
  std::printf("| %-18s |", unit);
  for (const std::string& name : names) std::printf(" %9s |", name.c_str());
  for (size_t i = 1; i < names.size(); ++i) std::printf(" ours/%-8s |", names[i].c_str());
  std::printf("\n|%s|", std::string(20, '-').c_str());
  for (size_t i = 0; i < names.size(); ++i) std::printf("%s:|", std::string(10, '-').c_str());
  for (size_t i = 1; i < names.size(); ++i) std::printf("%s:|", std::string(14, '-').c_str());
  std::printf("\n");
  for (const Row& row : rows) {
    std::printf("| %-18s |", row.label.c_str());
    for (double value : row.megabytesPerSecond) std::printf(" %9.1f |", value);
    for (size_t i = 1; i < row.megabytesPerSecond.size(); ++i) {
      const double peer = row.megabytesPerSecond[i];
      std::printf(" %13.2f |", peer > 0 ? row.megabytesPerSecond[0] / peer : 0.0);
    }
    std::printf("\n");
  }
  std::printf("\n");
}

double MegabytesPerSecond(size_t bytes, double seconds) {
  return seconds > 0 ? static_cast<double>(bytes) / 1e6 / seconds : 0;
}

int Main(int runs) {
  const int oneShotRuns = std::max(3, runs / 2 + 1);
  auto libraries = AllLibraries();
  std::vector<std::string> names;
  for (auto& library : libraries) names.push_back(library->name());
  std::printf(
      "XML benchmark, processor time of the thread: warm = median of %d runs in one process after "
      "a first run; "
      "one-shot = median of %d fresh processes.\n"
      "MB/s of the input document's size for both parse and write; parse excludes "
      "releasing the document.\n\n",
      runs, oneShotRuns);

  for (const char* document : {"generated", "corpus"}) {
    const std::string bytes = DocumentNamed(document);
    if (bytes.empty()) {
      std::printf("%s: not available\n\n", document);
      continue;
    }
    std::printf("%s document, %.1f MB\n\n", document, static_cast<double>(bytes.size()) / 1e6);
    std::vector<Row> rows;
    for (const char* operation : {"parse", "write"}) {
      Row warm{std::string(operation) + " warm", {}};
      Row cold{std::string(operation) + " one-shot", {}};
      for (auto& library : libraries) {
        warm.megabytesPerSecond.push_back(
            MegabytesPerSecond(bytes.size(), TimeWarm(*library, operation, bytes, runs)));
        cold.megabytesPerSecond.push_back(MegabytesPerSecond(
            bytes.size(), TimeOneShot(library->name(), operation, document, oneShotRuns)));
      }
      rows.push_back(warm);
      rows.push_back(cold);
    }
    PrintTable(names, rows);
  }

  const std::string wide = DocumentNamed("wide");
  const std::string flat = DocumentNamed("flat");
  const std::string small = DocumentNamed("generated16");
  const std::string large = DocumentNamed("generated64");
  std::printf(
      "Linearity, parse warm, each figure in a fresh process: one element with 200,000 children "
      "(%.1f MB) against the same "
      "children under parents of 100 (%.1f MB); a generated document of %.1f MB against one of "
      "%.1f MB\n\n",
      static_cast<double>(wide.size()) / 1e6, static_cast<double>(flat.size()) / 1e6,
      static_cast<double>(large.size()) / 1e6, static_cast<double>(small.size()) / 1e6);
  std::vector<Row> rows;
  for (const auto& [label, document, bytes] :
       {std::tuple<const char*, const char*, const std::string*>{"wide", "wide", &wide},
        {"flat", "flat", &flat},
        {"generated 16 MB", "generated16", &small},
        {"generated 64 MB", "generated64", &large}}) {
    Row row{label, {}};
    for (auto& library : libraries) {
      row.megabytesPerSecond.push_back(MegabytesPerSecond(
          bytes->size(), TimeWarmInFreshProcess(library->name(), document, runs)));
    }
    rows.push_back(row);
  }
  PrintTable(names, rows);

  std::printf(
      "Memory: heap held by the parsed document (allocator's statistics, a fresh process "
      "per figure), in times the document's size\n\n");
  std::vector<Row> memory;
  for (const char* document : {"generated", "corpus"}) {
    const double size = static_cast<double>(DocumentNamed(document).size());
    Row row{document, {}};
    for (auto& library : libraries) {
      const double held = HeldInFreshProcess(library->name(), document);
      row.megabytesPerSecond.push_back(held > 0 ? held / size : 0);
    }
    memory.push_back(row);
  }
  PrintTable(names, memory, "x size");
  return 0;
}

}  // namespace
}  // namespace vk::bench

int main(int argc, char** argv) {
  if (argc == 4 && std::string_view(argv[1]) == "--memory") {
    return vk::bench::Memory(argv[2], argv[3]);
  }
  if (argc == 5 && std::string_view(argv[1]) == "--warm") {
    return vk::bench::OneShot(argv[2], "parse", argv[3], std::atoi(argv[4]));
  }
  if (argc == 5 && std::string_view(argv[1]) == "--one-shot") {
    return vk::bench::OneShot(argv[2], argv[3], argv[4], 0);
  }
  const int runs = argc > 1 ? std::atoi(argv[1]) : 7;
  return vk::bench::Main(std::max(runs, 1));
}
