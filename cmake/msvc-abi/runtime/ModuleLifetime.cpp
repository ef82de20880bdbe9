// Initializers and atexit for one module. The compiler puts pointers to the C initializers in the
// sections .CRT$XI*, to the C++ ones in .CRT$XC*; the linker sorts the sections by name, so the
// markers in $XIA/$XIZ and $XCA/$XCZ bracket each list. atexit is the module's own, as in
// Microsoft's runtime, so a DLL's statics are destroyed when it is unloaded.
#include "ModuleLifetime.h"

#include <stdlib.h>
#include <windows.h>

using CInitializer = int(__cdecl*)();
using CppInitializer = void(__cdecl*)();

#pragma section(".CRT$XIA", long, read)
#pragma section(".CRT$XIZ", long, read)
#pragma section(".CRT$XCA", long, read)
#pragma section(".CRT$XCZ", long, read)
__declspec(allocate(".CRT$XIA")) static const CInitializer cFirst[] = {nullptr};
__declspec(allocate(".CRT$XIZ")) static const CInitializer cLast[] = {nullptr};
__declspec(allocate(".CRT$XCA")) static const CppInitializer cppFirst[] = {nullptr};
__declspec(allocate(".CRT$XCZ")) static const CppInitializer cppLast[] = {nullptr};

struct __type_info_node;
extern "C" __declspec(dllimport) void __cdecl __std_type_info_destroy_list(__type_info_node*);
extern "C" __type_info_node __type_info_root_node;

namespace {

SRWLOCK exitLock = SRWLOCK_INIT;
CppInitializer* exitFunctions = nullptr;
size_t exitCount = 0;
size_t exitCapacity = 0;

}  // namespace

extern "C" int __cdecl atexit(CppInitializer function) {
  AcquireSRWLockExclusive(&exitLock);
  int result = 0;
  if (exitCount == exitCapacity) {
    const size_t capacity = exitCapacity == 0 ? 32 : exitCapacity * 2;
    void* const grown = realloc(exitFunctions, capacity * sizeof(CppInitializer));
    if (grown == nullptr) {
      result = -1;
    } else {
      exitFunctions = static_cast<CppInitializer*>(grown);
      exitCapacity = capacity;
    }
  }
  if (result == 0) {
    exitFunctions[exitCount++] = function;
  }
  ReleaseSRWLockExclusive(&exitLock);
  return result;
}

bool QuillonRuntimeStart() {
  for (const CInitializer* entry = cFirst; entry < cLast; ++entry) {
    if (*entry != nullptr && (*entry)() != 0) {
      return false;
    }
  }
  for (const CppInitializer* entry = cppFirst; entry < cppLast; ++entry) {
    if (*entry != nullptr) {
      (*entry)();
    }
  }
  return true;
}

void QuillonRuntimeStop() {
  while (exitCount > 0) {
    exitFunctions[--exitCount]();
  }
  free(exitFunctions);
  exitFunctions = nullptr;
  exitCapacity = 0;
  __std_type_info_destroy_list(&__type_info_root_node);
}
