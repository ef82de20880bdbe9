#pragma once
// The start and the end of a module (the DLL or the program) in the static runtime.

// Runs the module's C and C++ initializers, in the order the linker laid them out; false when a C
// initializer failed.
bool QuillonRuntimeStart();
// Runs what the module registered with atexit (its statics' destructors), newest first.
void QuillonRuntimeStop();
