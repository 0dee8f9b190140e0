; The stand-in linker for builds through DOSBox (see ../README.md): tlink
; [switches] objects[, program[, map]]; it writes the marker program it carries.
%include "standin.inc"
main:   call parse                ; no object: ".OBJ", which cannot be opened
        xor bx, bx
        call field
        call object             ; the first object names the default program
        mov bp, ext_exe
        cmp byte [com], 0
        je .prog
        mov bp, ext_com
.prog:  mov bx, 2
        mov di, NAME2
        call named
        mov si, NAME2
        call log
        xor bx, bx
        call field
.check: call object
        push si
        mov dx, NAME1
        call read
        jc .bad
        mov si, BUF
        mov di, object_text
        mov cx, 15
        repe cmpsb
        jne .bad
        pop si
        cmp byte [si], 0
        jne .check
        WRITE NAME2, marker, image_end
        jnc done
.bad:   mov dx, bad_object
        jmp die

; The next object name at SI (ended by a blank, "+" or the end) into NAME1,
; with .OBJ when it has none; SI is left at the name after it.
object: mov di, NAME1
.o1:    lodsb
        cmp al, ' '
        je .o2
        cmp al, '+'
        je .o2
        stosb
        test al, al
        jnz .o1
.o2:    mov byte [di], 0
        dec si
.o3:    lodsb                   ; past blanks and "+"
        cmp al, ' '
        je .o3
        cmp al, '+'
        je .o3
        dec si
        push si
        mov si, NAME1
        mov di, si
        mov bp, ext_obj
        mov ah, 0
        call name
        pop si
        ret

tool    db 'tlink', 0
bad_object db 'Stand-in linker: an object is missing or not from the stand-in assembler', 13, 10, '$'
ext_obj db '.OBJ', 0
ext_exe db '.EXE', 0
ext_com db '.COM', 0
marker: incbin "MARKER.EXE"
image_end:
