// Thread-safe initialisation of function-local statics, in the protocol MSVC's code calls: a
// static's guard is 0 before, -1 while one thread initialises it, and afterwards the global epoch
// at which it was done; a thread whose own epoch is older checks the guard under the lock.
#include <limits.h>
#include <windows.h>

extern "C" {
int _Init_global_epoch = INT_MIN;
__declspec(thread) int _Init_thread_epoch = INT_MIN;
}

namespace {
SRWLOCK guardLock = SRWLOCK_INIT;
CONDITION_VARIABLE guardDone = CONDITION_VARIABLE_INIT;
constexpr int kNotYet = 0;
constexpr int kUnderWay = -1;
}  // namespace

extern "C" void __cdecl _Init_thread_header(int* guard) {
  AcquireSRWLockExclusive(&guardLock);
  while (*guard == kUnderWay) {
    SleepConditionVariableSRW(&guardDone, &guardLock, INFINITE, 0);
  }
  if (*guard == kNotYet) {
    *guard = kUnderWay;
  } else {
    _Init_thread_epoch = _Init_global_epoch;
  }
  ReleaseSRWLockExclusive(&guardLock);
}

extern "C" void __cdecl _Init_thread_footer(int* guard) {
  AcquireSRWLockExclusive(&guardLock);
  *guard = ++_Init_global_epoch;
  _Init_thread_epoch = _Init_global_epoch;
  ReleaseSRWLockExclusive(&guardLock);
  WakeAllConditionVariable(&guardDone);
}

// The initialiser threw: the next caller tries again.
extern "C" void __cdecl _Init_thread_abort(int* guard) {
  AcquireSRWLockExclusive(&guardLock);
  *guard = kNotYet;
  ReleaseSRWLockExclusive(&guardLock);
  WakeAllConditionVariable(&guardDone);
}
