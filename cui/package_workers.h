// The package layer's worker threads: a package's members are independent, so
// their inflating, parsing, serialising and deflating run side by side, while
// reading and writing the archive itself stays on the calling thread.
#pragma once

#include <cstddef>
#include <functional>
#include <vector>

namespace vk::cui {

// How many threads a package open or save uses: the hardware's count (one
// where it reports none), or the count set by SetPackageWorkers.
[[nodiscard]] size_t PackageWorkers();
// Sets the thread count of later opens and saves; 0 goes back to the hardware's.
void SetPackageWorkers(size_t count);

// The threads that RunOnWorkers runs `tasks` tasks on.
[[nodiscard]] size_t WorkersFor(size_t tasks);

// Runs `task(index, worker)` for every index in `order`, handing the indexes
// out in that order to up to PackageWorkers() threads, the calling one among
// them; `worker` (below WorkersFor(order.size())) tells the threads apart. True when
// every task returned true; once one returns false or throws, no further task
// starts. Fewer threads run when no more can be started.
[[nodiscard]] bool RunOnWorkers(const std::vector<size_t>& order,
                                const std::function<bool(size_t index, size_t worker)>& task);

// The indexes of `sizes`, largest first: long tasks start first, so that the
// short ones fill the gaps at the end instead of one long task running alone.
[[nodiscard]] std::vector<size_t> LargestFirst(const std::vector<size_t>& sizes);

}  // namespace vk::cui
