/* Processor checks of the self-test page. Each takes a pointer to eight
   result longs (C calling convention) and fills them; the caller
   compares them with the values the MC68000 must give. */
	.text

	.macro	enter
	movem.l	%d2-%d7/%a2-%a6,-(%sp)
	move.l	48(%sp),%a0		/* results */
	.endm
	.macro	leave
	movem.l	(%sp)+,%d2-%d7/%a2-%a6
	rts
	.endm
	/* The last exception's vector, and its stacked PC less the label given. */
	.macro	store_exception from
	move.w	exc_vector,%d0
	ext.l	%d0
	move.l	%d0,(%a0)+
	move.l	exc_pc,%d0
	sub.l	#\from,%d0
	move.l	%d0,(%a0)+
	.endm
	/* How many exceptions the check took. */
	.macro	store_exception_count
	move.w	exc_count,%d0
	ext.l	%d0
	move.l	%d0,(%a0)+
	.endm
	.macro	ccr_to reg
	move.w	%sr,\reg
	andi.l	#0x1F,\reg
	.endm

/* ADD and ADDX: signed overflow, then a 64-bit sum through the X flag. */
	.globl	check_add
check_add:
	enter
	move.l	#0x7FFFFFFF,%d0
	moveq	#1,%d1
	add.l	%d1,%d0
	ccr_to	%d2
	move.l	%d0,(%a0)+
	move.l	%d2,(%a0)+
	moveq	#1,%d3			/* 0x00000001FFFFFFFF + 1 */
	moveq	#-1,%d4
	moveq	#0,%d5
	moveq	#1,%d6
	add.l	%d6,%d4
	addx.l	%d5,%d3
	move.l	%d3,(%a0)+
	move.l	%d4,(%a0)+
	leave

/* SUB, NEG and CMP with their condition codes. */
	.globl	check_sub
check_sub:
	enter
	moveq	#0,%d0
	moveq	#1,%d1
	sub.w	%d1,%d0
	ccr_to	%d2
	move.l	%d0,(%a0)+
	move.l	%d2,(%a0)+
	move.w	#0x8000,%d3
	neg.w	%d3
	ccr_to	%d4
	move.l	%d4,(%a0)+
	moveq	#5,%d5
	cmpi.l	#6,%d5
	ccr_to	%d6
	move.l	%d6,(%a0)+
	leave

/* Packed decimal: ABCD with and without carry, SBCD, NBCD. */
	.globl	check_bcd
check_bcd:
	enter
	move	#0,%ccr
	moveq	#0x19,%d0
	moveq	#0x28,%d1
	abcd	%d1,%d0
	move.l	%d0,(%a0)+
	moveq	#0,%d2
	move.b	#0x99,%d2
	moveq	#1,%d3
	move	#0,%ccr
	abcd	%d3,%d2
	ccr_to	%d4
	andi.l	#0x11,%d4		/* X and C */
	move.l	%d2,(%a0)+
	move.l	%d4,(%a0)+
	moveq	#0x42,%d5
	moveq	#0x15,%d6
	move	#0,%ccr
	sbcd	%d6,%d5
	move.l	%d5,(%a0)+
	moveq	#1,%d6
	move	#0,%ccr
	nbcd	%d6
	ccr_to	%d7
	andi.l	#0x11,%d7
	move.l	%d6,(%a0)+
	move.l	%d7,(%a0)+
	leave

/* Shifts and rotates, X carried from LSR into ROXR across a ROL. */
	.globl	check_shift
check_shift:
	enter
	moveq	#0,%d0
	move.w	#0x4000,%d0
	asl.w	#1,%d0
	ccr_to	%d1
	move.l	%d0,(%a0)+
	move.l	%d1,(%a0)+
	move.l	#0x80000000,%d2
	asr.l	#4,%d2
	move.l	%d2,(%a0)+
	moveq	#0,%d3
	move.b	#0x81,%d3
	lsr.b	#1,%d3
	move.l	%d3,(%a0)+
	move.l	#0x12345678,%d4
	rol.l	#8,%d4
	move.l	%d4,(%a0)+
	moveq	#2,%d5
	roxr.w	#1,%d5
	ccr_to	%d6
	move.l	%d5,(%a0)+
	move.l	%d6,(%a0)+
	moveq	#36,%d1			/* a register count is taken modulo 64 */
	moveq	#1,%d7
	lsl.l	%d1,%d7
	move.l	%d7,(%a0)+
	leave

/* MULU, MULS, DIVU, DIVS, and a DIVU overflow that leaves its operand. */
	.globl	check_muldiv
check_muldiv:
	enter
	move.l	#0xFFFF,%d0
	mulu.w	%d0,%d0
	move.l	%d0,(%a0)+
	moveq	#-2,%d1
	moveq	#3,%d2
	muls.w	%d2,%d1
	move.l	%d1,(%a0)+
	move.l	#100000,%d3
	divu.w	#7,%d3
	move.l	%d3,(%a0)+
	moveq	#-100,%d4
	divs.w	#7,%d4
	move.l	%d4,(%a0)+
	move.l	#0x10000,%d5
	divu.w	#1,%d5
	ccr_to	%d6
	andi.l	#0x02,%d6		/* V */
	move.l	%d5,(%a0)+
	move.l	%d6,(%a0)+
	leave

/* MOVEM: predecrement order, reload, and word loads sign-extended. */
	.globl	check_movem
check_movem:
	enter
	move.l	%a0,%a4
	lea	movem_area+32,%a0
	move.l	#0x11111111,%d1
	move.l	#0x22222222,%d2
	move.l	#0x33333333,%d3
	move.l	#0x44444444,%a1
	move.l	#0x55555555,%a2
	movem.l	%d1-%d3/%a1-%a2,-(%a0)
	lea	movem_area+32,%a5
	move.l	%a0,%d0
	sub.l	%a5,%d0
	move.l	%d0,(%a4)+		/* -20 */
	move.l	(%a0),(%a4)+		/* D1 lowest */
	move.l	12(%a0),(%a4)+		/* A1 */
	moveq	#0,%d4
	moveq	#0,%d7
	sub.l	%a3,%a3
	movem.l	(%a0)+,%d4-%d7/%a3
	move.l	%d4,(%a4)+
	move.l	%a3,(%a4)+
	move.l	%a0,%d0
	sub.l	%a5,%d0
	move.l	%d0,(%a4)+		/* 0 */
	move.w	#0x8000,movem_area
	moveq	#0,%d1
	movem.w	movem_area,%d1
	move.l	%d1,(%a4)+
	leave

/* TRAP #5: vector 37, stacked PC after the TRAP. */
	.globl	check_trap
check_trap:
	enter
	clr.w	exc_count
	trap	#5
1:	store_exception 1b
	store_exception_count
	leave

/* Division by zero: vector 5, the operand kept. */
	.globl	check_divzero
check_divzero:
	enter
	clr.w	exc_count
	moveq	#0,%d1
	move.l	#1234,%d2
	divu.w	%d1,%d2
1:	store_exception 1b
	move.l	%d2,(%a0)+
	store_exception_count
	leave

/* CHK: only the bound that is exceeded traps; TRAPV only with V set. */
	.globl	check_chk_trapv
check_chk_trapv:
	enter
	clr.w	exc_count
	moveq	#10,%d1
	chk.w	#20,%d1			/* inside: no exception */
	chk.w	#5,%d1
1:	store_exception 1b
	move	#0,%ccr
	trapv				/* V clear: no exception */
	move	#2,%ccr
	trapv
2:	store_exception 2b
	store_exception_count
	leave

/* ILLEGAL, line A and line F stack the opcode's own address. */
	.globl	check_illegal
check_illegal:
	enter
	clr.w	exc_count
1:	illegal
	store_exception 1b
2:	.word	0xA123
	store_exception 2b
3:	.word	0xF456
	store_exception 3b
	store_exception_count
	leave

/* User mode: MOVE to SR is refused there; TRAP #15 comes back. */
	.globl	check_privilege
check_privilege:
	enter
	clr.w	exc_count
	lea	user_stack_top,%a1
	move.l	%a1,%usp
	move.l	%sp,%a2
	andi.w	#0xDFFF,%sr
	move.w	%sr,%d1			/* not privileged on this processor */
1:	move.w	#0x2700,%sr
	move.w	exc_vector,%d3
	move.l	exc_pc,%d4
	move.l	%sp,%d5			/* the user stack pointer */
	trap	#15
	move.w	%sr,%d2
	andi.l	#0x2000,%d1
	andi.l	#0x2000,%d2
	move.l	%d1,(%a0)+
	move.l	%d2,(%a0)+
	ext.l	%d3
	move.l	%d3,(%a0)+
	sub.l	#1b,%d4
	move.l	%d4,(%a0)+
	lea	user_stack_top,%a1
	sub.l	%a1,%d5
	move.l	%d5,(%a0)+
	move.l	%sp,%d0
	sub.l	%a2,%d0			/* supervisor stack back where it was */
	move.l	%d0,(%a0)+
	leave


/* Bit operations: Z tells the bit's old state; numbers wrap at 32 in a
   register and at 8 in memory. */
	.globl	check_bits
check_bits:
	enter
	moveq	#0,%d0
	bset	#5,%d0
	move.w	%sr,%d1
	andi.l	#0x04,%d1
	move.l	%d0,(%a0)+		/* 0x20 */
	move.l	%d1,(%a0)+		/* Z: the bit was clear */
	bchg	#5,%d0
	move.w	%sr,%d1
	andi.l	#0x04,%d1
	move.l	%d0,(%a0)+		/* 0 */
	move.l	%d1,(%a0)+		/* Z clear: the bit was set */
	move.l	#0x80000000,%d2
	moveq	#63,%d3
	btst	%d3,%d2			/* bit 31 */
	move.w	%sr,%d1
	andi.l	#0x04,%d1
	move.l	%d1,(%a0)+
	clr.w	bits_area
	bset	#9,bits_area+1		/* bit 1 */
	bclr	#7,bits_area+1
	moveq	#0,%d4
	move.w	bits_area,%d4
	move.l	%d4,(%a0)+		/* 0x0002 */
	leave

/* MOVEP: a register to every other byte and back. */
	.globl	check_movep
check_movep:
	enter
	lea	bits_area,%a1
	move.l	#0xA5A5A5A5,(%a1)
	move.l	#0xA5A5A5A5,4(%a1)
	move.l	#0x11223344,%d0
	movep.l	%d0,0(%a1)
	move.l	(%a1),(%a0)+		/* 0x11A522A5 */
	move.l	4(%a1),(%a0)+		/* 0x33A544A5 */
	moveq	#0,%d1
	movep.w	1(%a1),%d1
	move.l	%d1,(%a0)+		/* 0xA5A5 */
	moveq	#0,%d2
	movep.l	0(%a1),%d2
	move.l	%d2,(%a0)+		/* 0x11223344 */
	leave

/* Program flow: DBRA counts, Scc, BSR/RTS, LINK/UNLK and the stack. */
	.globl	check_flow
check_flow:
	enter
	moveq	#9,%d0
	moveq	#0,%d1
1:	addq.w	#1,%d1
	dbra	%d0,1b
	move.l	%d1,(%a0)+		/* 10 */
	move.l	%d0,(%a0)+		/* 0x0000FFFF */
	moveq	#0,%d2
	moveq	#3,%d3
	cmpi.w	#3,%d3
	seq	%d2
	sne	%d3
	move.l	%d2,(%a0)+		/* 0xFF */
	move.l	%d3,(%a0)+		/* 0x00: byte cleared, the rest kept */
	move.l	%sp,%d4
	bsr.s	2f
	sub.l	%sp,%d4
	move.l	%d4,(%a0)+		/* 0: balanced */
	move.l	%d5,(%a0)+		/* 4 + 4 + 8 */
	leave
2:	move.l	%sp,%d5
	link	%a6,#-8
	sub.l	%sp,%d5			/* 4 + 8 */
	addq.l	#4,%d5			/* and the return address */
	unlk	%a6
	rts

	.bss
	.even
bits_area:
	.skip	8
movem_area:
	.skip	32
	.skip	256
user_stack_top:
