# uint64_t InvokeDllCommand(const DllCallSite* site, const uint32_t* words, int32_t count)
# The calling sequence compiled code uses for a declared DLL command.
    .intel_syntax noprefix
    .text
    .globl _InvokeDllCommand
_InvokeDllCommand:
    push ebp
    mov ebp, esp
    push ebx
    push esi
    push edi
    mov ebx, [ebp + 8]              # site
    mov esi, [ebp + 12]             # words
    mov ecx, [ebp + 16]             # count
    mov edi, esp                    # the stack position before the call
1:  test ecx, ecx
    jle 2f
    dec ecx
    push dword ptr [esi + ecx * 4]  # last argument first
    jmp 1b
2:  mov eax, [ebx]                  # declaration index
    call dword ptr [_kernel_services + 4]
    cmp dword ptr [ebx + 4], 0      # caller clean-up?
    je 3f
    mov ecx, [ebp + 16]
    lea esp, [esp + ecx * 4]
3:  cmp esp, edi
    jne 4f
    pop edi
    pop esi
    pop ebx
    pop ebp
    ret
4:  mov esp, edi                    # the declaration was wrong: error 6
    push dword ptr [ebx + 12]
    push dword ptr [ebx + 8]
    push 6
    call dword ptr [_kernel_services + 0]
