# A routine that behaves like compiled application code at its worst: it
# changes every general register, then answers EDX:EAX = second:first argument
# and removes its two arguments.
    .intel_syntax noprefix
    .text
    .globl _ClobberAllRegisters@8
_ClobberAllRegisters@8:
    mov eax, [esp + 4]
    mov edx, [esp + 8]
    mov ebx, 0x0BADF00D
    mov ecx, 0x0BADF00D
    mov esi, 0x0BADF00D
    mov edi, 0x0BADF00D
    mov ebp, 0x0BADF00D
    ret 8
