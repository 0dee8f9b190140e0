; A stand-in for the assembler, for Korveline's build tests under DOSBox. It
; assembles nothing: it takes  tasm [switches] source[, object[, listing]]
; (default extensions .ASM, .OBJ, .LST), logs what it was given beside the
; object, writes the listing when one is asked for (";!error TEXT" and
; ";!warning TEXT" lines of the source become its messages; ";!nolisting"
; writes none) and an object the stand-in linker accepts. A source line
; holding "; FAIL" or ";!error" makes it fail without an object.
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
        mov si, BUF
        mov bp, si
        add bp, cx              ; the end of the source
        mov word [outp], OUTBUF
.line:  cmp si, bp
        jae .scanned
        inc word [lineno]
        mov bx, si              ; BX: the end of this line
.l1:    cmp bx, bp
        jae .l2
        cmp byte [bx], 10
        je .l2
        inc bx
        jmp .l1
.l2:    mov di, mark_fail
        call find
        jc .l3
        mov byte [failed], 1
.l3:    mov di, mark_error
        call find
        jc .l4
        mov byte [failed], 1
        mov dx, error_prefix
        call emit
.l4:    mov di, mark_warning
        call find
        jc .l5
        mov dx, warning_prefix
        call emit
.l5:    mov di, mark_nolisting
        call find
        jc .l6
        mov byte [nolisting], 1
.l6:    lea si, [bx + 1]
        jmp .line
.scanned:
        cmp byte [nolisting], 0
        jne .object
        mov bx, 2
        call field
        jnc .list               ; given, even empty
        test byte [switches], SW_L
        jz .object
        jmp .deflt
.list:  mov ah, 0
        ja .lname
.deflt: mov si, NAME1
        mov ah, 1
.lname: mov di, NAME3
        mov bx, ext_lst
        call name
        mov si, OUTBUF
        mov di, [outp]
        mov dx, NAME3
        call create
.object:
        cmp byte [failed], 0
        mov dx, told_to_fail
        jne die
        mov si, object_text
        mov di, object_text + 17
        mov dx, NAME2
        call create
        mov dx, no_write
        jc die
        mov ax, 0x4C00
        int 0x21

; Looks for the NUL-ended text at DI in the line from SI to BX; found: CF
; clear and AX just past it.
find:   push si
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
        pop si
        stc
        ret
.hit:   mov ax, si
        pop di
        pop si
        pop si
        clc
        ret

; Adds "<prefix at DX><source as given>(<line>) <text from AX to the line's
; end>" CR LF to the listing.
emit:   push si
        push bx
        push ax
        mov di, [outp]
        mov si, dx
        call copy
        xor bx, bx
        call field
        call copy
        mov al, '('
        stosb
        mov ax, [lineno]
        mov bx, 10
        xor cx, cx
.d1:    xor dx, dx
        div bx
        push dx
        inc cx
        test ax, ax
        jnz .d1
.d2:    pop ax
        add al, '0'
        stosb
        loop .d2
        mov ax, ') '
        stosw
        pop si
        pop bx
.t1:    cmp si, bx
        jae .t2
        lodsb
        cmp al, 13
        je .t2
        stosb
        jmp .t1
.t2:    mov ax, 0x0A0D
        stosw
        mov [outp], di
        pop si
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
mark_error db ';!error ', 0
mark_warning db ';!warning ', 0
mark_nolisting db ';!nolisting', 0
error_prefix db '**Error** ', 0
warning_prefix db '*Warning* ', 0
object_text db 'STAND-IN OBJECT', 13, 10
lineno  dw 0
outp    dw 0
failed  db 0
nolisting db 0
image_end:
