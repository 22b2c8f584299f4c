// How minizip reaches one archive: its I/O callbacks and what their open
// callback receives. Files are opened through the platform layer on their
// wide paths, so non-ASCII names work on Windows too.
#pragma once

#include <ioapi.h>

#include <cstdint>
#include <string>

namespace vk::cui {

// One archive as minizip reaches it.
struct ZipStream {
  zlib_filefunc64_def functions{};
  const void* name = nullptr;  // handed to functions.zopen64_file
  // The archive's length in bytes, known once it is open for reading: the
  // file callbacks fill it in; other callbacks set it themselves.
  uint64_t size = 0;
};

// Sets `zip` up for the file at `path`, which must outlive it: minizip's stdio
// callbacks with the 64-bit offsets (the 32-bit ones truncate negative seeks
// on 64-bit Windows) and an open callback that takes the wide path.
void UseFileCallbacks(ZipStream* zip, const std::u16string& path);

}  // namespace vk::cui
