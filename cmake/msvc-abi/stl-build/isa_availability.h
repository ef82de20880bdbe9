// The instruction-set levels the runtime detects at start-up; this runtime reports the baseline.
#pragma once
enum __ISA_AVAILABILITY {
  __ISA_AVAILABLE_X86 = 0,
  __ISA_AVAILABLE_SSE2 = 1,
  __ISA_AVAILABLE_SSE42 = 2,
  __ISA_AVAILABLE_AVX = 3,
  __ISA_AVAILABLE_ENFSTRG = 4,
  __ISA_AVAILABLE_AVX2 = 5,
  __ISA_AVAILABLE_AVX512 = 6,
};
extern "C" int __isa_available;
