# uint64_t CallApplicationRoutine(const void* routine, const uint32_t* args, int32_t count)
    .intel_syntax noprefix
    .text
    .globl _CallApplicationRoutine
_CallApplicationRoutine:
    pushad                          # 32 bytes: edi esi ebp esp ebx edx ecx eax
    mov ebx, [esp + 36]             # routine
    mov esi, [esp + 40]             # args
    mov ecx, [esp + 44]             # count
1:  test ecx, ecx
    jle 2f
    dec ecx
    push dword ptr [esi + ecx * 4]  # last argument first
    jmp 1b
2:  call ebx                        # the routine removes its own arguments
    mov [esp + 28], eax             # hand EDX:EAX back through popad
    mov [esp + 20], edx
    popad
    ret
