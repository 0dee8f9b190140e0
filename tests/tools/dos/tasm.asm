; A stand-in for the assembler, for Korveline's build tests under DOSBox. It
; assembles nothing: it takes  tasm [switches] source[, object[, listing]]
; (default extensions .ASM, .OBJ, .LST), logs what it was given beside the
; object, writes a listing when a listing field is given, and an object the
; stand-in linker accepts. A source holding "; FAIL" or ";!error" makes it
; fail without an object.
%include "standin.inc"
main:   mov dx, banner
        mov ah, 9
        int 0x21
        call parse
        xor bx, bx
        call field
        ja .given
        mov si, nothing
        mov bx, tool
        call log
        mov dx, no_source
        jmp die
.given: mov di, NAME1
        mov bx, ext_asm
        mov ah, 0
        call name
        mov bx, 1
        call field
        mov ah, 0
        ja .obj
        mov si, NAME1
        mov ah, 1
.obj:   mov di, NAME2
        mov bx, ext_obj
        call name
        mov si, NAME2
        mov bx, tool
        call log
        mov dx, NAME1
        call read
        mov dx, no_open
        jc die
        mov bx, BUF
        add bx, cx              ; the end of the source
        mov di, mark_fail
        call find
        jnc .failed
        mov di, mark_error
        call find
        jnc .failed
        mov bx, 2
        call field
        jc .object              ; no listing field
        mov ah, 0
        ja .lname
        mov si, NAME1
        mov ah, 1
.lname: mov di, NAME3
        mov bx, ext_lst
        call name
        mov si, listing
        mov di, listing + 18
        mov dx, NAME3
        call create
.object:
        mov si, object_text
        mov di, object_text + 17
        mov dx, NAME2
        call create
        mov dx, no_write
        jc die
        mov ax, 0x4C00
        int 0x21
.failed:
        mov dx, told_to_fail
        jmp die

; Whether the NUL-ended text at DI occurs in the source (BUF up to BX): CF clear when it does.
find:   mov si, BUF
.f0:    push si
        push di
.f1:    mov al, [di]
        test al, al
        jz .hit
        cmp si, bx
        jae .miss
        cmp al, [si]
        jne .miss
        inc si
        inc di
        jmp .f1
.miss:  pop di
        pop si
        inc si
        cmp si, bx
        jb .f0
        stc
        ret
.hit:   pop di
        pop si
        clc
        ret

banner  db "Stand-in assembler for Korveline's build tests; it assembles nothing.", 13, 10, '$'
no_source db 'Error: no source file given', 13, 10, '$'
no_open db 'Error: cannot open the source', 13, 10, '$'
no_write db 'Error: cannot write the object', 13, 10, '$'
told_to_fail db 'Error: told to fail', 13, 10, '$'
tool    db 'tasm', 0
nothing db 0
ext_asm db '.ASM', 0
ext_obj db '.OBJ', 0
ext_lst db '.LST', 0
mark_fail db '; FAIL', 0
mark_error db ';!error', 0
listing db 'Stand-in listing', 13, 10
object_text db 'STAND-IN OBJECT', 13, 10
image_end:
