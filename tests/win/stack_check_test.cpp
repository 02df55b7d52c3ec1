#include <gtest/gtest.h>

#include "tests/win/stack_check.h"

#if defined(__i386__)
// Saves the callee-saved registers, pushes the arguments, calls, and returns how far the stack
// pointer moved up during the call. %edi holds the stack pointer before the call: the callee keeps
// it in both conventions.
asm(R"(
    .text
    .globl _ZuroStackBytesRemoved
_ZuroStackBytesRemoved:
    pushl %ebp
    movl %esp, %ebp
    pushl %esi
    pushl %edi
    pushl %ebx
    movl 12(%ebp), %ecx
    movl 16(%ebp), %esi
1:  testl %ecx, %ecx
    jz 2f
    decl %ecx
    pushl (%esi,%ecx,4)
    jmp 1b
2:  movl %esp, %edi
    call *8(%ebp)
    movl %esp, %eax
    subl %edi, %eax
    leal -12(%ebp), %esp
    popl %ebx
    popl %edi
    popl %esi
    popl %ebp
    ret
)");

namespace zuro::testing_support {
namespace {

int g_sum = 0;
extern "C" void __cdecl CdeclTwo(int a, int b) {
  g_sum = a + b;
}
extern "C" void __stdcall StdcallTwo(int a, int b) {
  g_sum = a * b;
}

// The measure tells the two conventions apart, and passes the arguments in their order.
TEST(StackCheck, TellsCdeclFromStdcall) {
  EXPECT_EQ(StackBytesRemoved(CdeclTwo, {reinterpret_cast<void*>(3), reinterpret_cast<void*>(4)}),
            0);
  EXPECT_EQ(g_sum, 7);
  EXPECT_EQ(
      StackBytesRemoved(StdcallTwo, {reinterpret_cast<void*>(3), reinterpret_cast<void*>(5)}), 8);
  EXPECT_EQ(g_sum, 15);
}

}  // namespace
}  // namespace zuro::testing_support
#endif
