// The stack cookie the compiler's buffer checks (/GS) compare on return from a function with a
// local array. A fixed value: these builds prove the ABI, not resistance to attacks.
#include <intrin.h>
#include <stdint.h>

extern "C" {
uintptr_t __security_cookie = 0x00002B992DDFA232;

void __cdecl __security_init_cookie(void) {}

void __cdecl __security_check_cookie(uintptr_t cookie) {
  constexpr unsigned kStackCookieCheckFailure = 2;
  if (cookie != __security_cookie) {
    __fastfail(kStackCookieCheckFailure);
  }
}
}
