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

function(quillon_strict target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror)
  target_compile_features(${target} PUBLIC cxx_std_20)
endfunction()
