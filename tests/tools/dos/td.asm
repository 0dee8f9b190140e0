; The stand-in debugger for Debug through DOSBox (see docs/TESTING.md): it
; debugs nothing, and appends "td <tail> @ <current folder>" to STANDIN.LOG
; in the current folder.
%include "standin.inc"
main:   call parse
        mov di, TAIL            ; to the tail's end
        xor al, al
        mov cx, 0xFFFF
        cld
        repne scasb
        dec di
        mov si, at_text
        call copy
        DOS 0x19                ; the current drive, 0 for A
        add al, 'A'
        mov ah, ':'
        stosw
        mov al, 0x5C            ; a backslash
        stosb
        mov si, di
        xor dl, dl
        DOS 0x47                ; its current folder, without drive and first backslash
        call log
        jmp done

tool    db 'td', 0
at_text db ' @ ', 0
image_end:
