# zlib and minizip for both builds; GoogleTest for the test executables.
if(MSVC)
  # Windows proper: zlib, minizip and GoogleTest from vcpkg (vcpkg.json).
  find_package(ZLIB REQUIRED)
  find_package(unofficial-minizip CONFIG REQUIRED)
  add_library(vk_minizip INTERFACE)
  target_link_libraries(vk_minizip INTERFACE unofficial::minizip::minizip ZLIB::ZLIB)
  add_library(vk::minizip ALIAS vk_minizip)
else()
  if(WIN32)
    # Debian's libz-mingw-w64-dev; the static archive keeps the program DLL-free.
    set(ZLIB_USE_STATIC_LIBS ON)
  endif()
  find_package(ZLIB REQUIRED)
  # Both builds compile the source of Debian's minizip package (MinGW has no
  # package of it), patched so that Linux reads zip64 sizes as Windows does;
  # scripts/setup.sh unpacks and patches it.
  set(VK_MINIZIP_SOURCE_DIR "${PROJECT_SOURCE_DIR}/third_party/minizip" CACHE PATH "minizip sources")
  if(NOT EXISTS "${VK_MINIZIP_SOURCE_DIR}/.patched")
    message(FATAL_ERROR "patched minizip sources not found in ${VK_MINIZIP_SOURCE_DIR}; run scripts/setup.sh")
  endif()
  add_library(vk_minizip STATIC
    "${VK_MINIZIP_SOURCE_DIR}/ioapi.c" "${VK_MINIZIP_SOURCE_DIR}/unzip.c" "${VK_MINIZIP_SOURCE_DIR}/zip.c")
  target_include_directories(vk_minizip SYSTEM PUBLIC "${VK_MINIZIP_SOURCE_DIR}")
  # Third-party code compiled as Debian ships it, but for our patch; its
  # warnings are not ours to fix.
  target_compile_options(vk_minizip PRIVATE -w)
  target_link_libraries(vk_minizip PUBLIC ZLIB::ZLIB)
  add_library(vk::minizip ALIAS vk_minizip)
endif()

if(VK_BUILD_TESTS)
  if(WIN32 AND NOT MSVC)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL)
  else()
    find_package(GTest REQUIRED)
  endif()
endif()
