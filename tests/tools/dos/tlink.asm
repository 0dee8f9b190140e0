; The stand-in linker for builds through DOSBox (see docs/TESTING.md): tlink
; [switches] object, program, both without extension; it writes the marker
; program it carries.
%include "standin.inc"
main:   call parse
        call log
        xor bx, bx
        mov bp, ext_obj
        mov di, NAME1
        call named
        mov bx, 2
        mov bp, ext_exe
        cmp byte [com], 0
        je .prog
        mov bp, ext_com
.prog:  mov di, NAME2
        call named
        mov dx, NAME1
        call read
        jc .bad
        mov si, BUF
        mov di, object_text
        mov cx, 15
        repe cmpsb
        jne .bad
        WRITE NAME2, marker, image_end
        jnc done
.bad:   mov dx, bad_object
        jmp die

tool    db 'tlink', 0
bad_object db 'Stand-in linker: the object is missing or not from the stand-in assembler', 13, 10, '$'
ext_obj db '.OBJ', 0
ext_exe db '.EXE', 0
ext_com db '.COM', 0
marker: incbin "MARKER.EXE"
image_end:
