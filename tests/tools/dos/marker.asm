; The program the DOS stand-in linker writes: started, it leaves
; "<its own path less the extension>.RAN" so that a test sees it ran.
%include "standin.inc"
main:   push ds
        mov ds, [0x2C]          ; the environment: strings, an empty one, a count, our path
        mov si, -1
.e1:    inc si
        cmp word [si], 0
        jne .e1
        add si, 4
        mov di, NAME1
        call copy
        pop ds
        mov word [di - 3], 'RA' ; its three-letter extension made RAN
        mov byte [di - 1], 'N'
        WRITE NAME1, ran_text, image_end
        jmp done

tool    db 0
ran_text db 'ran', 13, 10
image_end:
