// Opens and saves on worker threads: every task runs once whatever the thread
// count, and a package opens to the same tree and saves to the same bytes on
// any number of threads, the bytes that minizip writes when it deflates each
// member itself.
#include "cui/package_workers.h"

#include <gtest/gtest.h>

#include <atomic>
#include <new>
#include <string>
#include <vector>

#include "cui/package_contents.h"
#include "cui/package_file.h"
#include "tests/cui/package_test_support.h"
#include "tests/support/corpus_files.h"
#include "tests/support/generated_package.h"
#include "tests/support/test_paths.h"
#include "tests/xml/tree_compare.h"
#include "xml/node.h"

namespace vk::cui::test {
namespace {

using vk::test::ReadWholeFile;
using vk::test::TempFolder;
using xml::XmlDocument;

TEST(RunOnWorkersTest, RunsEveryTaskOnceAndFailsWithAnyTask) {
  for (const size_t workers : {1, 2, 5}) {
    const ScopedPackageWorkers scoped(workers);
    for (const size_t count : {0, 1, 3, 64}) {
      SCOPED_TRACE(testing::Message() << workers << " workers, " << count << " tasks");
      std::vector<size_t> order(count);
      for (size_t i = 0; i < count; ++i) order[i] = count - 1 - i;
      std::vector<std::atomic<int>> runs(count);
      std::atomic<bool> workerInRange{true};
      EXPECT_TRUE(RunOnWorkers(order, [&](size_t index, size_t worker) {
        ++runs[index];
        if (worker >= WorkersFor(count)) workerInRange = false;
        return true;
      }));
      for (const std::atomic<int>& run : runs) EXPECT_EQ(run, 1);
      EXPECT_TRUE(workerInRange);
      if (count == 0) continue;
      // A task that fails, or runs out of memory, fails the whole run.
      for (const size_t failing : {size_t{0}, count - 1}) {
        EXPECT_FALSE(RunOnWorkers(order, [&](size_t index, size_t) { return index != failing; }));
        EXPECT_FALSE(RunOnWorkers(order, [&](size_t index, size_t) {
          if (index == failing) throw std::bad_alloc();
          return true;
        }));
      }
    }
  }
}

// The packages of the corpus and the generated one.
std::vector<std::u16string> PackagesToCompare(const TempFolder& folder) {
  std::vector<std::u16string> packages = vk::test::CorpusCuixFiles([](std::u16string_view name) {
    return name.size() > 5 &&
           platform::CompareAsciiNoCase(name.substr(name.size() - 5), u".cuix") == 0;
  });
  const std::u16string generated = folder.Join(u"generated.cuix");
  EXPECT_TRUE(vk::test::WriteGeneratedPackage(generated));
  packages.push_back(generated);
  return packages;
}

TEST(PackageWorkersTest, AnyThreadCountOpensTheSameTreeAndSavesTheSameBytes) {
  TempFolder folder;
  const std::vector<std::u16string> packages = PackagesToCompare(folder);
  for (const std::u16string& path : packages) {
    SCOPED_TRACE(xml::test::Narrow(path));
    XmlDocument sequential;
    std::string sequentialBytes;
    for (const size_t workers : {1, 3}) {
      SCOPED_TRACE(testing::Message() << workers << " workers");
      const ScopedPackageWorkers scoped(workers);
      XmlDocument package(OpenCustomisationFile(path));
      ASSERT_NE(package, nullptr);
      const std::u16string saved = folder.Join(u"saved.cuix");
      ASSERT_EQ(SaveCustomisationFile(saved, package.get(), false), kSaveOk);
      std::string bytes;
      ASSERT_TRUE(ReadWholeFile(saved, &bytes));
      if (workers == 1) {
        // The reference: minizip deflating the members that the save stored.
        const std::u16string reference = folder.Join(u"reference.cuix");
        ASSERT_TRUE(WriteWithMinizipDeflating(*ContainerContents(package.get()), reference));
        std::string referenceBytes;
        ASSERT_TRUE(ReadWholeFile(reference, &referenceBytes));
        EXPECT_TRUE(bytes == referenceBytes) << "differs from minizip's own deflating";
        sequential = std::move(package);
        sequentialBytes = std::move(bytes);
        continue;
      }
      EXPECT_EQ(xml::test::DescribeTreeDifference(sequential.get(), package.get(),
                                                  xml::test::CommentRule::kExact),
                "");
      EXPECT_TRUE(bytes == sequentialBytes) << "differs from the save on one thread";
    }
  }
  std::printf("compared %zu packages\n", packages.size());
}

}  // namespace
}  // namespace vk::cui::test
