; The stand-in assembler for builds through DOSBox (see docs/TESTING.md):
; tasm [switches] source, object[, listing], the last two without extension.
%include "standin.inc"
main:   call parse
        call log
        mov dx, [fields]        ; the source, as given
        call read
        mov dx, no_open
        jc die
        cmp byte [nfields], 4
        jbe .object             ; no listing field
        mov bx, 4
        mov bp, ext_lst
        mov di, NAME3
        call named
        WRITE NAME3, listing, image_end
.object:
        mov bx, 2
        mov bp, ext_obj
        mov di, NAME2
        call named
        WRITE NAME2, object_text, empty
        jnc done
        mov dx, no_write
        jmp die

tool    db 'tasm', 0
no_open db 'Stand-in assembler: cannot open the source', 13, 10, '$'
no_write db 'Stand-in assembler: cannot write the object', 13, 10, '$'
ext_obj db '.OBJ', 0
ext_lst db '.LST', 0
listing db 'Stand-in listing', 13, 10
image_end:
