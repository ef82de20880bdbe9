# The plugin for the real host: built with MSVC (or clang-cl) against the host's own SDK in
# QUILLON_SDK_DIR, which must hold include/, lib/pluginsdk.lib and imgui_bm.zip. Here `pluginsdk`
# is the SDK's import library, its headers seen through the adapter in source/sdk/real/, and
# `quillon_imgui` is the host's Dear ImGui 1.75 built from the SDK's imgui_bm.zip. Nothing of the
# stand-in host is built. See docs/real-host.md; this path has not been run where the project is
# checked (no MSVC there): scripts/check-real-sdk.sh checks the same files' compile with MinGW-w64
# and their link against the SDK's library with clang and lld-link.

if(NOT MSVC)
  # Out of the cache again, so that the next configure of this build folder without the option
  # is the ordinary one instead of this error once more.
  unset(QUILLON_SDK_DIR CACHE)
  message(FATAL_ERROR
    "QUILLON_SDK_DIR builds the plugin for the real host, which needs MSVC or clang-cl: the "
    "SDK's library holds MSVC's C++ names and the host passes MSVC's std::string, std::function "
    "and std::shared_ptr. To check the compile and the link against the SDK here, run "
    "scripts/check-real-sdk.sh SDKDIR (docs/real-host.md).")
endif()
if(NOT CMAKE_SIZEOF_VOID_P EQUAL 8)
  message(FATAL_ERROR "The real host loads 64-bit modules only: configure for x64.")
endif()

set(quillon_sdk_include "${QUILLON_SDK_DIR}/include")
set(quillon_sdk_library "${QUILLON_SDK_DIR}/lib/pluginsdk.lib")
set(quillon_sdk_imgui_zip "${QUILLON_SDK_DIR}/imgui_bm.zip")
foreach(needed "${quillon_sdk_include}/bakkesmod/plugin/bakkesmodplugin.h"
               "${quillon_sdk_library}" "${quillon_sdk_imgui_zip}")
  if(NOT EXISTS "${needed}")
    message(FATAL_ERROR "QUILLON_SDK_DIR is ${QUILLON_SDK_DIR}, which has no ${needed}")
  endif()
endforeach()

# The SDK's headers are written for a case-blind file system. Elsewhere (the msvc-abi preset, on
# Linux) they are read through a copy in the build folder whose include names all name files.
if(NOT CMAKE_HOST_WIN32)
  set(quillon_sdk_folded_include "${CMAKE_BINARY_DIR}/_deps/sdk-include")
  if(NOT EXISTS "${quillon_sdk_folded_include}/bakkesmod")
    execute_process(
      COMMAND "${PROJECT_SOURCE_DIR}/scripts/fold-sdk-include-case.sh" "${quillon_sdk_include}"
              "${quillon_sdk_folded_include}"
      RESULT_VARIABLE fold_result)
    if(NOT fold_result EQUAL 0)
      message(FATAL_ERROR "Could not copy the SDK's headers into ${quillon_sdk_folded_include}")
    endif()
  endif()
  set(quillon_sdk_include "${quillon_sdk_folded_include}")
endif()

# The host's objects cross the boundary with the release C++ library's layouts: every
# configuration uses the release runtime DLL, without checked iterators.
set(CMAKE_MSVC_RUNTIME_LIBRARY MultiThreadedDLL)
add_compile_definitions(_ITERATOR_DEBUG_LEVEL=0)

# The SDK: the adapter first (the four headers the plugin includes), then the SDK's headers,
# whose warnings are the SDK's own.
add_library(pluginsdk INTERFACE)
target_include_directories(pluginsdk INTERFACE "${PROJECT_SOURCE_DIR}/source/sdk/real")
target_include_directories(pluginsdk SYSTEM INTERFACE "${quillon_sdk_include}")
target_link_libraries(pluginsdk INTERFACE "${quillon_sdk_library}" quillonwindowsapi)

# The host's Dear ImGui, unpacked into the build folder; the plugin draws on the context the host
# hands it, so its copy must be the host's release, not Debian's 1.86.
set(quillon_sdk_imgui "${CMAKE_BINARY_DIR}/_deps/imgui_bm/imgui")
if(NOT EXISTS "${quillon_sdk_imgui}/imgui.cpp")
  file(ARCHIVE_EXTRACT INPUT "${quillon_sdk_imgui_zip}" DESTINATION "${CMAKE_BINARY_DIR}/_deps/imgui_bm")
endif()
add_library(imgui STATIC
  "${quillon_sdk_imgui}/imgui.cpp"
  "${quillon_sdk_imgui}/imgui_draw.cpp"
  "${quillon_sdk_imgui}/imgui_widgets.cpp"
)
target_include_directories(imgui SYSTEM PUBLIC "${quillon_sdk_imgui}")
# As the MinGW build's copy of Dear ImGui is built: C++20 only adds deprecation noise.
set_target_properties(imgui PROPERTIES CXX_STANDARD 17)
add_library(quillon_imgui INTERFACE)
target_link_libraries(quillon_imgui INTERFACE imgui)
