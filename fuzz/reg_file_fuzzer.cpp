// Reads arbitrary bytes as a .reg file. A file that reads must write and read
// back to the very same records, and load into the registry store and export
// from it without loss.
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "platform/reg_file.h"
#include "platform/registry_store.h"

using vk::platform::ReadRegFile;
using vk::platform::RegFileEncoding;
using vk::platform::RegFileError;
using vk::platform::RegFileKey;
using vk::platform::RegistryStore;
using vk::platform::WriteRegFile;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::vector<RegFileKey> keys;
  RegFileError error;
  if (!ReadRegFile(bytes, &keys, &error)) {
    // A bad file yields nothing but its error.
    if (!keys.empty() || error.line == 0 || error.reason.empty()) std::abort();
    return 0;
  }
  std::vector<RegFileKey> again;
  if (!ReadRegFile(WriteRegFile(keys), &again, &error) || again != keys) std::abort();
  // UTF-8 cannot hold unpaired surrogates, so that form need only read.
  if (!ReadRegFile(WriteRegFile(keys, RegFileEncoding::kUtf8), &again, &error)) std::abort();

  RegistryStore store, copy;
  if (!store.Import(bytes, &error) || !copy.Import(store.Export(), &error)) std::abort();
  if (copy.Records() != store.Records()) std::abort();
  return 0;
}
