# Cross-compiles for 64-bit Windows in the MSVC ABI with Microsoft's STL, on Linux: clang-cl 16 and
# lld-link 16, so the build takes the same path through CMakeLists.txt as Visual Studio's (MSVC is
# set), against the headers and runtime libraries scripts/msvc-abi-runtime.sh assembles into the
# build folder from QUILLON_MSVC_STL_DIR (Microsoft's STL), Wine and MinGW-w64. The programs it
# builds run under Wine, with Wine's msvcp140, vcruntime140 and ucrtbase. See docs/real-host.md.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)

if(NOT QUILLON_MSVC_STL_DIR AND DEFINED ENV{QUILLON_MSVC_STL_DIR})
  set(QUILLON_MSVC_STL_DIR "$ENV{QUILLON_MSVC_STL_DIR}")
endif()
if(NOT QUILLON_MSVC_STL_DIR)
  message(FATAL_ERROR "QUILLON_MSVC_STL_DIR must name Microsoft's STL (the folder holding stl/inc "
                      "and stl/src), in the cache or the environment")
endif()
if(NOT QUILLON_MSVC_ABI_RUNTIME)
  set(QUILLON_MSVC_ABI_RUNTIME "${CMAKE_BINARY_DIR}/_deps/msvc-abi-runtime")
endif()
# The compiler checks CMake makes are projects of their own: they see the same folders.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES QUILLON_MSVC_STL_DIR QUILLON_MSVC_ABI_RUNTIME)

if(NOT EXISTS "${QUILLON_MSVC_ABI_RUNTIME}/lib/quillon_runtime.lib")
  execute_process(
    COMMAND "${CMAKE_CURRENT_LIST_DIR}/../../scripts/msvc-abi-runtime.sh"
            "${QUILLON_MSVC_ABI_RUNTIME}" "${QUILLON_MSVC_STL_DIR}"
    RESULT_VARIABLE runtime_result)
  if(NOT runtime_result EQUAL 0)
    message(FATAL_ERROR "Could not assemble the MSVC-ABI runtime in ${QUILLON_MSVC_ABI_RUNTIME}")
  endif()
endif()

set(CMAKE_C_COMPILER "${QUILLON_MSVC_ABI_RUNTIME}/clang-cl")
set(CMAKE_CXX_COMPILER "${QUILLON_MSVC_ABI_RUNTIME}/clang-cl")
set(CMAKE_C_COMPILER_TARGET x86_64-pc-windows-msvc)
set(CMAKE_CXX_COMPILER_TARGET x86_64-pc-windows-msvc)
set(CMAKE_LINKER /usr/lib/llvm-16/bin/lld-link)
set(CMAKE_AR /usr/lib/llvm-16/bin/llvm-lib)
set(CMAKE_MT /usr/lib/llvm-16/bin/llvm-mt)
set(CMAKE_RC_COMPILER /usr/lib/llvm-16/bin/llvm-rc)

set(CMAKE_C_FLAGS_INIT "@${QUILLON_MSVC_ABI_RUNTIME}/flags.rsp")
set(CMAKE_CXX_FLAGS_INIT "@${QUILLON_MSVC_ABI_RUNTIME}/flags.rsp")
# Every library named here, none by the objects' own requests: the runtime is this build's.
set(quillon_link_flags "/nodefaultlib /libpath:${QUILLON_MSVC_ABI_RUNTIME}/lib /manifest:no")
set(CMAKE_EXE_LINKER_FLAGS_INIT "${quillon_link_flags}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${quillon_link_flags}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "${quillon_link_flags}")
set(CMAKE_C_STANDARD_LIBRARIES "quillon_runtime.lib msvcprt_static.lib msvcp140.lib vcruntime140.lib ucrtbase.lib kernel32.lib user32.lib imm32.lib")
set(CMAKE_CXX_STANDARD_LIBRARIES "${CMAKE_C_STANDARD_LIBRARIES}")

set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
