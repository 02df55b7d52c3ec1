// How many bytes of arguments a called function removes from the stack, measured by the stack
// pointer itself around the call (x86 only, where cdecl leaves them to the caller and stdcall
// removes them). A frame pointer restores the caller's stack after a call in the wrong convention,
// so nothing short of the stack pointer shows such a mismatch.
#pragma once

#include <initializer_list>

namespace zuro::testing_support {

#if defined(__i386__)
extern "C" int ZuroStackBytesRemoved(const void* function, int count, void* const* arguments);

// Pushes `arguments` (the first one last, as C callers do), calls `function` and returns the
// bytes it removed: 0 for cdecl, 4 per argument for stdcall.
template <typename Function>
int StackBytesRemoved(Function* function, std::initializer_list<void*> arguments) {
  return ZuroStackBytesRemoved(reinterpret_cast<const void*>(function),
                               static_cast<int>(arguments.size()), arguments.begin());
}
#endif

}  // namespace zuro::testing_support
