| A mixed workload for the processor benchmark: table walks over ROM,
| stores and read-modify-writes in work RAM, arithmetic, logic, shifts,
| compares and branches, a subroutine with MOVEM, a little multiply and
| divide. Assembled at 0x200; the table of 256 words follows the code.
        .text
start:
        lea     0xff0000,%a0
        lea     table(%pc),%a1
        moveq   #0,%d7
        moveq   #0,%d1
        moveq   #0,%d2
        moveq   #0,%d4
outer:
        move.w  #255,%d6
        movea.l %a0,%a2
        movea.l %a1,%a3
inner:
        move.w  (%a3)+,%d0
        add.w   %d0,%d1
        eor.w   %d1,%d2
        lsl.w   #3,%d2
        move.l  %d2,(%a2)+
        cmp.w   #0x1234,%d0
        bne.s   1f
        addq.w  #1,%d3
1:      and.l   #0x0f0f0f0f,%d2
        or.w    %d0,%d4
        lsr.l   #2,%d4
        move.b  -3(%a2),%d5
        ext.w   %d5
        sub.w   %d5,%d4
        addq.l  #1,-4(%a2)
        tst.b   %d5
        bmi.s   2f
        neg.w   %d4
2:      ror.w   %d5,%d2
        dbra    %d6,inner
        mulu    %d0,%d1
        divu    #7,%d1
        swap    %d1
        muls    %d3,%d4
        addq.l  #1,%d7
        move.l  %d7,-(%a7)
        bsr.s   sub
        move.l  (%a7)+,%d5
        cmp.l   %d5,%d7
        beq     outer
        bra     start
sub:
        movem.l %d0-%d2/%a0,-(%a7)
        move.w  0xff0010,%d0
        add.w   0xff0012,%d0
        move.w  %d0,0xff0400
        clr.l   %d1
        moveq   #15,%d2
3:      add.l   %d2,%d1
        dbra    %d2,3b
        movem.l (%a7)+,%d0-%d2/%a0
        rts
        .even
table:
