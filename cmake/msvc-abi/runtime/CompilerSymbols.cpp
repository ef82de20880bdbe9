// Variables the compiler and Microsoft's STL refer to, which Microsoft's static runtime defines,
// and the table of type_info, which every type descriptor names and vcruntime140.dll as Wine has
// it does not export.
#include <vcruntime_typeinfo.h>

extern "C" {
// Floating point is used (the linker asks for this name when it is).
int _fltused = 0x9875;
// The baseline instruction set: the STL then takes its portable paths.
int __isa_available = 0;
long __isa_enabled = 1;

struct alignas(16) __type_info_node {
  void* memory;
  __type_info_node* next;
};
__type_info_node __type_info_root_node;
}

// Nothing calls through it: exception matching and dynamic_cast compare decorated names.
static void __cdecl TypeInfoDestroy(void*, unsigned) {}
extern "C" const void* const QuillonTypeInfoTable[1] __asm__("??_7type_info@@6B@") = {
    reinterpret_cast<const void*>(&TypeInfoDestroy)};
