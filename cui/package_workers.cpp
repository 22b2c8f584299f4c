#include "cui/package_workers.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <numeric>
#include <thread>

namespace vk::cui {
namespace {

std::atomic<size_t> chosenWorkers{0};

}  // namespace

size_t PackageWorkers() {
  const size_t chosen = chosenWorkers.load();
  if (chosen != 0) return chosen;
  return std::max<size_t>(std::thread::hardware_concurrency(), 1);
}

void SetPackageWorkers(size_t count) {
  chosenWorkers = count;
}

size_t WorkersFor(size_t tasks) {
  return std::min(PackageWorkers(), tasks);
}

bool RunOnWorkers(const std::vector<size_t>& order,
                  const std::function<bool(size_t index, size_t worker)>& task) {
  std::atomic<size_t> next{0};
  std::atomic<bool> failed{false};
  const auto work = [&](size_t worker) noexcept {
    for (size_t at = next++; at < order.size() && !failed; at = next++) {
      bool done = false;
      try {
        done = task(order[at], worker);
      } catch (const std::exception&) {
        // Out of memory on a worker fails the whole open or save.
      }
      if (!done) failed = true;
    }
  };
  std::vector<std::thread> threads;
  const size_t count = WorkersFor(order.size());
  try {
    threads.reserve(count > 0 ? count - 1 : 0);
    for (size_t worker = 1; worker < count; ++worker) threads.emplace_back(work, worker);
  } catch (const std::exception&) {
    // The threads that started, and this one, share the work.
  }
  work(0);
  for (std::thread& thread : threads) thread.join();
  return !failed;
}

std::vector<size_t> LargestFirst(const std::vector<size_t>& sizes) {
  std::vector<size_t> order(sizes.size());
  std::iota(order.begin(), order.end(), size_t{0});
  std::stable_sort(order.begin(), order.end(),
                   [&](size_t a, size_t b) { return sizes[a] > sizes[b]; });
  return order;
}

}  // namespace vk::cui
