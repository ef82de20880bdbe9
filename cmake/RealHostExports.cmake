# The DLL for the real host checks its own exports after every build of it: a module without
# `exports`, `getPlugin` and `deleteMe` is refused by the host (cmake/CheckPluginExports.cmake).
# This sets `quillon_check_exports`, the command that source/plugin attaches to the DLL as a
# post-build step (CMake attaches one only in the folder that defines the target). The listing
# tool is Visual Studio's dumpbin, beside its compiler and linker, or LLVM's llvm-readobj where the
# build uses clang-cl and lld-link.
get_filename_component(quillon_compiler_dir "${CMAKE_CXX_COMPILER}" DIRECTORY)
get_filename_component(quillon_linker_dir "${CMAKE_LINKER}" DIRECTORY)
find_program(QUILLON_EXPORT_LISTER NAMES dumpbin llvm-readobj
             HINTS "${quillon_compiler_dir}" "${quillon_linker_dir}"
             DOC "dumpbin or llvm-readobj, to list the built DLL's exports")
if(QUILLON_EXPORT_LISTER)
  set(quillon_check_exports
    "${CMAKE_COMMAND}" "-DDLL=$<TARGET_FILE:QuillonPlugin>" "-DLISTER=${QUILLON_EXPORT_LISTER}"
    -P "${PROJECT_SOURCE_DIR}/cmake/CheckPluginExports.cmake")
else()
  message(WARNING "Neither dumpbin nor llvm-readobj was found: the built DLL's exports are not "
                  "checked (docs/real-host.md says how to check them by hand).")
  set(quillon_check_exports
    "${CMAKE_COMMAND}" -E echo "QuillonPlugin's exports not checked: no dumpbin or llvm-readobj")
endif()
