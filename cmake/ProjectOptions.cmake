# Warnings and sanitizers for the project's own targets; third-party code is left alone.
option(QUILLON_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

if(QUILLON_SANITIZE)
  # Applied globally so every object and the link agree; halt on the first report. GCC leaves
  # out-of-range float-to-integer conversions and float division by zero out of "undefined".
  set(QUILLON_SANITIZERS address,undefined,float-cast-overflow,float-divide-by-zero)
  add_compile_options(-fsanitize=${QUILLON_SANITIZERS} -fno-sanitize-recover=all
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=${QUILLON_SANITIZERS})
endif()

option(QUILLON_TSAN "Build with ThreadSanitizer" OFF)
if(QUILLON_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()

# lld links the same objects several times faster than the default linker, and a build links
# dozens of programs that carry debug information. MinGW keeps its own linker.
if(NOT WIN32 AND NOT MSVC)
  include(CheckLinkerFlag)
  check_linker_flag(CXX -fuse-ld=lld QUILLON_HAVE_LLD)
  if(QUILLON_HAVE_LLD)
    add_link_options(-fuse-ld=lld)
  endif()
endif()

function(quillon_strict target)
  if(MSVC)
    # MSVC builds only the plugin for the real host, a build not run where the project is
    # checked: its warnings are shown, not made errors.
    target_compile_options(${target} PRIVATE /W4 /utf-8)
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror)
  endif()
  target_compile_features(${target} PUBLIC cxx_std_20)
endfunction()

# Float arithmetic one operation at a time, as written: a fused multiply-add would round
# differently. MSVC's /fp:precise makes no contractions unless /fp:contract asks for them.
function(quillon_floats_as_written target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /fp:precise)
  else()
    target_compile_options(${target} PRIVATE -ffp-contract=off)
  endif()
endfunction()
