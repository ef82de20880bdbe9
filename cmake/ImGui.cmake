# Dear ImGui 1.86 as the target `quillon_imgui`, the same way for every platform.
#
# Linux: Debian's static library (libimgui-dev), found with pkg-config.
# Windows (cross-compiled): the same release built here as a static library from Debian's source
# package, which scripts/fetch-imgui-source.sh unpacks into the build folder.
#
# Every binary that links quillon_imgui gets its own private copy of the code; all copies work on
# the one context the host creates. On Linux the copy's symbols are kept out of a shared library's
# exports; a Windows DLL exports only what is marked dllexport, which ImGui's code is not.
add_library(quillon_imgui INTERFACE)

if(WIN32)
  set(QUILLON_IMGUI_SOURCE_DIR "${CMAKE_BINARY_DIR}/_deps/imgui" CACHE PATH
      "Dear ImGui 1.86 sources (fetched by scripts/fetch-imgui-source.sh)")
  if(NOT EXISTS "${QUILLON_IMGUI_SOURCE_DIR}/imgui.cpp")
    execute_process(
      COMMAND "${PROJECT_SOURCE_DIR}/scripts/fetch-imgui-source.sh" "${QUILLON_IMGUI_SOURCE_DIR}"
      RESULT_VARIABLE fetch_result)
    if(NOT fetch_result EQUAL 0)
      message(FATAL_ERROR "Could not fetch the Dear ImGui sources into ${QUILLON_IMGUI_SOURCE_DIR}")
    endif()
  endif()
  add_library(imgui STATIC
    ${QUILLON_IMGUI_SOURCE_DIR}/imgui.cpp
    ${QUILLON_IMGUI_SOURCE_DIR}/imgui_draw.cpp
    ${QUILLON_IMGUI_SOURCE_DIR}/imgui_tables.cpp
    ${QUILLON_IMGUI_SOURCE_DIR}/imgui_widgets.cpp
  )
  target_include_directories(imgui SYSTEM PUBLIC ${QUILLON_IMGUI_SOURCE_DIR})
  # The standard Debian's own build of this release uses; C++20 only adds deprecation noise.
  set_target_properties(imgui PROPERTIES CXX_STANDARD 17)
  target_link_libraries(quillon_imgui INTERFACE imgui)
else()
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(IMGUI REQUIRED IMPORTED_TARGET imgui=1.86)
  target_link_libraries(quillon_imgui INTERFACE PkgConfig::IMGUI)
  target_link_options(quillon_imgui INTERFACE -Wl,--exclude-libs,ALL)
endif()
