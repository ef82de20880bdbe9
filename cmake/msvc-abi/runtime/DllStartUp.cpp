// The DLL's entry point: initializers on attach, the module's DllMain if it has one, atexit on
// detach.
#include <windows.h>

#include "ModuleLifetime.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID);
extern "C" BOOL WINAPI QuillonDefaultDllMain(HINSTANCE, DWORD, LPVOID) {
  return TRUE;
}
#pragma comment(linker, "/alternatename:DllMain=QuillonDefaultDllMain")

extern "C" BOOL WINAPI _DllMainCRTStartup(HINSTANCE module, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH && !QuillonRuntimeStart()) {
    return FALSE;
  }
  const BOOL result = DllMain(module, reason, reserved);
  if (reason == DLL_PROCESS_DETACH) {
    QuillonRuntimeStop();
  }
  return result;
}
