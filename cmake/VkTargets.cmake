# Shared build rules: one warnings target, and source lists that pick the
# platform backend by file suffix (_win32.cpp / _posix.cpp).

add_library(vk_warnings INTERFACE)
if(MSVC)
  target_compile_options(vk_warnings INTERFACE /W4 /utf-8)
else()
  target_compile_options(vk_warnings INTERFACE
    $<$<COMPILE_LANGUAGE:CXX>:-Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion>)
endif()

if(WIN32)
  set(VK_BACKEND win32)
  set(VK_OTHER_BACKEND posix)
else()
  set(VK_BACKEND posix)
  set(VK_OTHER_BACKEND win32)
endif()

# vk_backend_sources(<out-var> <glob>...): the matching files, less those of
# the backend that this build does not use.
function(vk_backend_sources out)
  file(GLOB _files CONFIGURE_DEPENDS ${ARGN})
  list(FILTER _files EXCLUDE REGEX "_${VK_OTHER_BACKEND}(_test)?\\.cpp$")
  set(${out} ${_files} PARENT_SCOPE)
endfunction()

# vk_folder_library(<name> [DEPS ...]): a static library from the .cpp files of
# the current folder.
function(vk_folder_library name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  vk_backend_sources(_src "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
  add_library(${name} STATIC ${_src})
  target_include_directories(${name} PUBLIC "${PROJECT_SOURCE_DIR}")
  target_link_libraries(${name} PUBLIC ${ARG_DEPS} PRIVATE vk_warnings)
endfunction()
