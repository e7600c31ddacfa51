| Restarts a 64 KB video RAM copy for ever. First the lower half of video
| RAM gets a pattern through the data port; then each copy takes 65535
| bytes from address 0 to 0x8000 (the destination wraps), so the upper
| half ends as a copy of the lower half and the lower half stays as it is.
| D7 counts the copies started. Interrupts stay masked from reset.
        .text
        .long   0x00FFFF00              | supervisor stack
        .long   start                   | program counter
start:
        lea     0xC00000,%a1            | data port
        lea     0xC00004,%a0            | control port
        move.w  #0x8F02,(%a0)           | auto-increment 2
        move.l  #0x40000000,(%a0)       | write video RAM from 0
        move.w  #0x3FFF,%d0
        moveq   #0,%d1
pattern:
        move.w  %d1,(%a1)
        addi.w  #0x0103,%d1
        dbra    %d0,pattern
        move.w  #0x8154,(%a0)           | display and DMA on
        move.w  #0x8F01,(%a0)           | auto-increment 1
        move.w  #0x9300,(%a0)           | length 0: 65535 bytes
        move.w  #0x9400,(%a0)
        move.w  #0x9500,(%a0)           | source 0
        move.w  #0x9600,(%a0)
        move.w  #0x97C0,(%a0)           | mode: copy
        move.l  #0x000000C2,%d0         | copy to 0x8000 (code 0x30)
        moveq   #0,%d7
loop:
        move.l  %d0,(%a0)
        addq.l  #1,%d7
        bra.s   loop
