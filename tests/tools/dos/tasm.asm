; The stand-in assembler for builds through DOSBox (see ../README.md):
; tasm [switches] source[, object[, listing]], default extensions .ASM, .OBJ, .LST.
%include "standin.inc"
main:   call parse                ; no source: ".ASM", which cannot be opened
        xor bx, bx
        call field
        mov ah, 0
        mov bp, ext_asm
        mov di, NAME1
        call name
        mov bx, 2
        mov bp, ext_obj
        mov di, NAME2
        call named
        mov si, NAME2
        call log
        mov dx, NAME1
        call read
        mov dx, no_open
        jc die
        mov dx, told_to_fail
        mov di, mark_fail
        mov cx, mark_error - mark_fail
        call find
        jnc die
        mov di, mark_error
        mov cx, listing - mark_error
        call find
        jnc die
        cmp byte [nfields], 4
        jbe .object             ; no listing field
        mov bx, 4
        mov bp, ext_lst
        mov di, NAME3
        call named
        WRITE NAME3, listing, image_end
.object:
        WRITE NAME2, object_text, empty
        jnc done
        mov dx, no_write
        jmp die

; Whether the CX bytes at DI occur in the source (BUF up to BX): CF clear when they do.
find:   mov si, BUF
.f1:    push si
        push di
        push cx
        repe cmpsb
        pop cx
        pop di
        pop si
        je .r
        inc si
        cmp si, bx
        jb .f1
        stc
.r:     ret

tool    db 'tasm', 0
no_open db 'Stand-in assembler: cannot open the source', 13, 10, '$'
no_write db 'Stand-in assembler: cannot write the object', 13, 10, '$'
told_to_fail db 'Stand-in assembler: told to fail', 13, 10, '$'
ext_asm db '.ASM', 0
ext_obj db '.OBJ', 0
ext_lst db '.LST', 0
mark_fail db '; FAIL'
mark_error db ';!error'
listing db 'Stand-in listing', 13, 10
image_end:
