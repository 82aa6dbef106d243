# CallDllCommand: EAX holds the declaration index, the stack holds the DLL
# function's own arguments above the caller's return address. The function is
# entered by a jump, so it sees those arguments unchanged and returns straight
# to the caller. A bound entry costs one table read.
    .intel_syntax noprefix
    .text
    .globl _CallDllCommand
_CallDllCommand:
    push ecx
    cmp eax, [_g_dll_bound_count]
    jae 1f
    mov ecx, [_g_dll_bound_addresses]
    mov ecx, [ecx + eax * 4]
    test ecx, ecx
    jz 1f
    mov eax, ecx
    pop ecx
    jmp eax
1:  push edx                        # ECX and EDX may carry arguments of
    push eax                        # register conventions: keep them
    call _ResolveDllCommand         # cdecl; does not return on failure
    add esp, 4
    pop edx
    pop ecx
    jmp eax
