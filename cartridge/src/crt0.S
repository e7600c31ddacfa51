/* Vectors, start-up and the exception and interrupt entries. */
	.section .vectors,"ax"
	.long	0x00FFFF00		/* supervisor stack, top of work RAM */
	.long	_start
	.long	vec_other, vec_other	/* bus and address error: never raised */
	.long	vec_4, vec_5, vec_6, vec_7, vec_8
	.long	vec_other		/* 9 trace */
	.long	vec_10, vec_11
	.rept	12
	.long	vec_other		/* 12-23 reserved */
	.endr
	.long	vec_other		/* 24 spurious */
	.long	vec_other, vec_other, vec_other /* levels 1-3 */
	.long	vec_hint		/* 28 level 4: horizontal interrupt */
	.long	vec_other		/* 29 level 5 */
	.long	vec_vblank		/* 30 level 6: vertical interrupt */
	.long	vec_other		/* 31 level 7 */
	.irp	v,32,33,34,35,36,37,38,39,40,41,42,43,44,45,46,47
	.long	vec_\v			/* TRAP #0-#15; #15 returns to supervisor mode */
	.endr
	.rept	208
	.long	vec_other
	.endr

	.text
	.globl	_start
_start:
	move.w	#0x2700,%sr
	lea	0x00FFFF00,%sp
	/* Initialised data from ROM, then clear the rest of RAM. */
	lea	__data_load,%a0
	lea	__data_start,%a1
	lea	__data_end,%a2
1:	cmp.l	%a2,%a1
	bcc.s	2f
	move.w	(%a0)+,(%a1)+
	bra.s	1b
2:	lea	__bss_end,%a2
3:	cmp.l	%a2,%a1
	bcc.s	4f
	clr.w	(%a1)+
	bra.s	3b
4:	jsr	main
5:	bra.s	5b

/* Every exception leaves its vector number and stacked PC behind for
   the self-test, which checks them. */
	.macro	record vector
	move.w	#\vector,exc_vector
	move.l	2(%sp),exc_pc
	addq.w	#1,exc_count
	.endm

/* Illegal, line A and line F stack the opcode's address: step over it. */
	.irp	v,4,10,11
vec_\v:
	record	\v
	addq.l	#2,2(%sp)
	rte
	.endr

/* Privileged instructions the self-test tries are four bytes long. */
vec_8:
	record	8
	addq.l	#4,2(%sp)
	rte

/* Divide by zero, CHK, TRAPV and the traps stack the next instruction. */
	.irp	v,5,6,7,32,33,34,35,36,37,38,39,40,41,42,43,44,45,46
vec_\v:
	record	\v
	rte
	.endr

vec_47:
	record	47
	ori.w	#0x2000,(%sp)
	rte

vec_other:
	record	0xFF
	rte

vec_hint:
	addq.w	#1,hint_count
	move.w	hint_reg11,0xC00004	/* lower part of the screen: plane B scrolls as a whole */
	rte

vec_vblank:
	addq.l	#1,vblank_count
	movem.l	%d0-%d1/%a0-%a1,-(%sp)
	jsr	sound_tick
	movem.l	(%sp)+,%d0-%d1/%a0-%a1
	rte

/* Waits for the next vertical interrupt with both interrupts let in. */
	.globl	wait_vblank
wait_vblank:
	move.l	vblank_count,%d0
1:	stop	#0x2300
	move.w	#0x2500,%sr
	cmp.l	vblank_count,%d0
	beq.s	1b
	rts
