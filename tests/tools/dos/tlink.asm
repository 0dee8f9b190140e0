; A stand-in for the linker, for Korveline's build tests under DOSBox. It
; links nothing: it takes  tlink [switches] objects[, program[, map]]
; (objects separated by blanks or "+", default extension .OBJ; the program
; gets .EXE, or .COM with /t), logs what it was given beside the program,
; checks that every object came from the stand-in assembler and writes the
; marker program as the program.
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
        mov dx, no_object
        jmp die
.given: call object             ; the first object names the default program
        mov bx, ext_exe
        cmp byte [com], 0
        je .ext
        mov bx, ext_com
.ext:   push bx
        mov bx, 1
        call field
        pop bx
        mov ah, 0
        ja .prog
        mov si, NAME1
        mov ah, 1
.prog:  mov di, NAME2
        call name
        mov si, NAME2
        mov bx, tool
        call log
        xor bx, bx
        call field
.check: call object
        push si
        mov dx, NAME1
        call read
        jc .bad
        mov si, BUF
        mov di, object_mark
        mov cx, 15
        repe cmpsb
        jne .bad
        pop si
        cmp byte [si], 0
        jne .check
        mov si, marker
        mov di, marker_end
        mov dx, NAME2
        call create
        jc .bad
.done:  mov ax, 0x4C00
        int 0x21
.bad:   mov dx, bad_object
        jmp die

; The next object name from SI (ended by a blank, "+" or NUL) into NAME1,
; with .OBJ when it has no extension; SI is left at the next name.
object: mov di, NAME3
.o1:    lodsb
        cmp al, ' '
        je .o2
        cmp al, '+'
        je .o2
        stosb
        test al, al
        jnz .o1
        dec si
.o2:    mov byte [di], 0
.o3:    mov al, [si]
        cmp al, ' '
        je .o4
        cmp al, '+'
        jne .o5
.o4:    inc si
        jmp .o3
.o5:
        push si
        mov si, NAME3
        mov di, NAME1
        mov bx, ext_obj
        mov ah, 0
        call name
        pop si
        ret

banner  db "Stand-in linker for Korveline's build tests; it links nothing.", 13, 10, '$'
no_object db 'Error: no object file given', 13, 10, '$'
bad_object db 'Error: an object is missing or not from the stand-in assembler', 13, 10, '$'
tool    db 'tlink', 0
nothing db 0
ext_obj db '.OBJ', 0
ext_exe db '.EXE', 0
ext_com db '.COM', 0
object_mark db 'STAND-IN OBJECT'
marker: incbin "MARKER.EXE"
marker_end:
image_end:
