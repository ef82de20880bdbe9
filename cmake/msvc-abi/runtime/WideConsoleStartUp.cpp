// The entry point of a console program whose main is wmain: initializers, the wide command line
// from the UCRT, wmain, atexit, then the UCRT's exit (which flushes its streams).
#include <corecrt_startup.h>
#include <stdlib.h>

#include "ModuleLifetime.h"

int wmain(int argc, wchar_t** argv);

extern "C" int wmainCRTStartup() {
  if (!QuillonRuntimeStart() || _configure_wide_argv(_crt_argv_unexpanded_arguments) != 0) {
    return 255;
  }
  const int code = wmain(*__p___argc(), *__p___wargv());
  QuillonRuntimeStop();
  exit(code);
}
