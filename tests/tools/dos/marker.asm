; The program the DOS stand-in linker writes: started, it leaves
; "<its own path less the extension>.RAN" so a test can see that it ran.
%include "standin.inc"
main:   push ds
        mov ds, [0x2C]          ; the environment: strings, an empty one, a count, our path
        xor si, si
.e1:    cmp byte [si], 0
        je .e3
.e2:    lodsb
        test al, al
        jnz .e2
        jmp .e1
.e3:    add si, 3
        mov di, NAME1
        call copy
        pop ds
        mov si, NAME1
        mov di, NAME2
        mov bx, ran_ext
        mov ah, 1
        call name
        mov si, ran_text
        mov di, ran_text + 5
        mov dx, NAME2
        call create
        mov ax, 0x4C00
        int 0x21
ran_ext db '.RAN', 0
ran_text db 'ran', 13, 10
image_end:
