// Recording the top-most folders of a copy: AddCopiedFolder over 1,000 and
// 16,000 folders that each received three files (a realistic tree: groups of
// folders of varied name lengths below the user's folder), median of several
// runs, and the time per folder at 16,000 against that at 1,000.
//
// usage: copied_folders_bench [RUNS]   (default 5)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "copy/kvcpyfiles.h"

namespace {

std::vector<std::u16string> Folders(int count) {
  const std::u16string root = u"C:\\Users\\architekt\\AppData\\Roaming\\Kavrin\\VELKOR RUR15/";
  std::vector<std::u16string> folders;
  for (int i = 0; i < count; ++i) {
    std::string name = "Support/skupina " + std::to_string(i % 97) + "/prvek" +
                       std::string(static_cast<size_t>(i % 13), 'x') + std::to_string(i) + "/";
    folders.push_back(root + std::u16string(name.begin(), name.end()));
  }
  return folders;
}

// Seconds for one engine to record every folder, each once per file.
double Record(const std::vector<std::u16string>& folders) {
  const auto start = std::chrono::steady_clock::now();
  vk::copy::kvcpyfiles engine;
  for (const std::u16string& folder : folders) {
    for (int file = 0; file < 3; ++file) engine.AddCopiedFolder(folder);
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (engine.copiedFolders().size() != folders.size()) std::abort();
  return seconds;
}

double Median(const std::vector<std::u16string>& folders, int runs) {
  std::vector<double> times;
  for (int run = 0; run < runs; ++run) times.push_back(Record(folders));
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  double perFolder[2] = {};
  const int counts[2] = {1000, 16000};
  for (int i = 0; i < 2; ++i) {
    const double seconds = Median(Folders(counts[i]), runs);
    perFolder[i] = seconds / counts[i];
    std::printf("%6d folders: %8.4f s, %6.2f us per folder\n", counts[i], seconds,
                perFolder[i] * 1e6);
  }
  std::printf("per folder at 16,000 / at 1,000: %.2fx (goal: at most 2x)\n",
              perFolder[1] / perFolder[0]);
  return 0;
}
