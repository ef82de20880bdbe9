// The entry point of a console program whose main is main: initializers, the command line from
// the UCRT, main, atexit, then the UCRT's exit (which flushes its streams).
#include <corecrt_startup.h>
#include <stdlib.h>

#include "ModuleLifetime.h"

int main(int argc, char** argv);

extern "C" int mainCRTStartup() {
  if (!QuillonRuntimeStart() || _configure_narrow_argv(_crt_argv_unexpanded_arguments) != 0) {
    return 255;
  }
  const int code = main(*__p___argc(), *__p___argv());
  QuillonRuntimeStop();
  exit(code);
}
