// Today's ROM sets of the board as ROM managers build them, one line per
// file: set, parent, title, file, size, CRC-32, region, offset, interleave,
// name in the parent's archive, and the table record and file it matches.
#pragma once

namespace romset_test {

inline constexpr const char* set_rows = R"(set	parent	title	file	size	crc32	region	offset	interleave	in_parent	seed_game	seed_file
bloxeedc	bloxeed	Bloxeed (World, C System)	epr-12908.ic32	131072	fc77cb91	program	0x0	even		bloxeedc	12908.bin
bloxeedc	bloxeed	Bloxeed (World, C System)	epr-12907.ic31	131072	e5fcbac6	program	0x0	odd		bloxeedc	12907.bin
bloxeedc	bloxeed	Bloxeed (World, C System)	epr-12993.ic34	131072	487bc8fc	program	0x40000	even		bloxeedc	12993.bin
bloxeedc	bloxeed	Bloxeed (World, C System)	epr-12992.ic33	131072	19b0084c	program	0x40000	odd		bloxeedc	12992.bin
bloxeedu	bloxeed	Bloxeed (US, C System, Rev A)	epr-12997a.ic32	131072	23655bc9	program	0x0	even			
bloxeedu	bloxeed	Bloxeed (US, C System, Rev A)	epr-12996a.ic31	131072	83c83f0c	program	0x0	odd			
bloxeedu	bloxeed	Bloxeed (US, C System, Rev A)	epr-12993.ic34	131072	487bc8fc	program	0x40000	even			
bloxeedu	bloxeed	Bloxeed (US, C System, Rev A)	epr-12992.ic33	131072	19b0084c	program	0x40000	odd			
borench		Borench (set 1)	ic32.bin	262144	2c54457d	program	0x0	even		borench	ic32.bin
borench		Borench (set 1)	ic31.bin	262144	b46445fc	program	0x0	odd		borench	ic31.bin
borench		Borench (set 1)	epr-13587.ic4	131072	62b85e56	sample	0x0	whole		borench	ic4.bin
borencha	borench	Borench (set 2)	epr-13591.ic32	262144	7851078b	program	0x0	even			
borencha	borench	Borench (set 2)	epr-13590.ic31	262144	01bc6fe6	program	0x0	odd			
borencha	borench	Borench (set 2)	epr-13587.ic4	131072	62b85e56	sample	0x0	whole	epr-13587.ic4		
borenchj	borench	Borench (Japan)	epr-13586.ic32	262144	62d7f8e8	program	0x0	even			
borenchj	borench	Borench (Japan)	epr-13585.ic31	262144	087b9704	program	0x0	odd			
borenchj	borench	Borench (Japan)	epr-13587.ic4	131072	62b85e56	sample	0x0	whole	epr-13587.ic4		
columns		Columns (World)	epr-13114.ic32	131072	ff78f740	program	0x0	even			
columns		Columns (World)	epr-13113.ic31	131072	9a426d9b	program	0x0	odd			
columnsj	columns	Columns (Japan)	epr-13112.ic32	131072	bae6e53e	program	0x0	even		columns	epr13112.32
columnsj	columns	Columns (Japan)	epr-13111.ic31	131072	aa5ccd6d	program	0x0	odd		columns	epr13111.31
columnsu	columns	Columns (US, cocktail, Rev A)	epr-13116a.ic32	131072	a0284b16	program	0x0	even			
columnsu	columns	Columns (US, cocktail, Rev A)	epr-13115a.ic31	131072	e37496f3	program	0x0	odd			
columns2		Columns II: The Voyage Through Time (World)	epr-13363.ic32	131072	c99e4ffd	program	0x0	even			
columns2		Columns II: The Voyage Through Time (World)	epr-13362.ic31	131072	394e2419	program	0x0	odd			
column2j	columns2	Columns II: The Voyage Through Time (Japan)	epr-13361.ic32	131072	b54b5f12	program	0x0	even		columns2	epr13361.rom
column2j	columns2	Columns II: The Voyage Through Time (Japan)	epr-13360.ic31	131072	a59b1d4f	program	0x0	odd		columns2	epr13360.rom
ichir		Puzzle & Action: Ichidant-R (World)	pa2_32.bin	524288	7ba0c025	program	0x0	even			
ichir		Puzzle & Action: Ichidant-R (World)	pa2_31.bin	524288	5f86e5cc	program	0x0	odd			
ichir		Puzzle & Action: Ichidant-R (World)	epr-16888.ic34	524288	85d73722	program	0x100000	even			
ichir		Puzzle & Action: Ichidant-R (World)	epr-16887.ic33	524288	bc3bbf25	program	0x100000	odd			
ichir		Puzzle & Action: Ichidant-R (World)	pa2_02.bin	524288	fc7b0da5	sample	0x0	whole			
ichirbl	ichir	Puzzle & Action: Ichidant-R (World) (bootleg)	2.f11	524288	b8201c2e	program	0x0	even			
ichirbl	ichir	Puzzle & Action: Ichidant-R (World) (bootleg)	1.f10	524288	af0dd811	program	0x0	odd			
ichirbl	ichir	Puzzle & Action: Ichidant-R (World) (bootleg)	4.f8	524288	85d73722	program	0x100000	even	epr-16888.ic34		
ichirbl	ichir	Puzzle & Action: Ichidant-R (World) (bootleg)	3.f9	524288	bc3bbf25	program	0x100000	odd	epr-16887.ic33		
ichirbl	ichir	Puzzle & Action: Ichidant-R (World) (bootleg)	2.e3	524288	fc7b0da5	sample	0x0	whole	pa2_02.bin		
ichirj	ichir	Puzzle & Action: Ichidant-R (Japan)	epr-16886.ic32	524288	38208e28	program	0x0	even		ichident	epr16886
ichirj	ichir	Puzzle & Action: Ichidant-R (Japan)	epr-16885.ic31	524288	1ce4e837	program	0x0	odd		ichident	epr16885
ichirj	ichir	Puzzle & Action: Ichidant-R (Japan)	epr-16888.ic34	524288	85d73722	program	0x100000	even	epr-16888.ic34	ichident	epr16888
ichirj	ichir	Puzzle & Action: Ichidant-R (Japan)	epr-16887.ic33	524288	bc3bbf25	program	0x100000	odd	epr-16887.ic33	ichident	epr16887
ichirj	ichir	Puzzle & Action: Ichidant-R (Japan)	epr-16884.ic4	524288	fd9dcdd6	sample	0x0	whole		ichident	epr16884
ichirjbl	ichir	Puzzle & Action: Ichidant-R (Japan) (bootleg)	27c4000.2	524288	5a194f44	program	0x0	even			
ichirjbl	ichir	Puzzle & Action: Ichidant-R (Japan) (bootleg)	27c4000.1	524288	de209f84	program	0x0	odd			
ichirjbl	ichir	Puzzle & Action: Ichidant-R (Japan) (bootleg)	epr-16888	524288	85d73722	program	0x100000	even	epr-16888.ic34		
ichirjbl	ichir	Puzzle & Action: Ichidant-R (Japan) (bootleg)	epr-16887	524288	bc3bbf25	program	0x100000	odd	epr-16887.ic33		
ichirk	ichir	Puzzle & Action: Ichidant-R (Korea)	epr_ichi.32	524288	804dea11	program	0x0	even			
ichirk	ichir	Puzzle & Action: Ichidant-R (Korea)	epr_ichi.31	524288	92452353	program	0x0	odd			
ichirk	ichir	Puzzle & Action: Ichidant-R (Korea)	epr-16888.ic34	524288	85d73722	program	0x100000	even	epr-16888.ic34		
ichirk	ichir	Puzzle & Action: Ichidant-R (Korea)	epr-16887.ic33	524288	bc3bbf25	program	0x100000	odd	epr-16887.ic33		
ichirk	ichir	Puzzle & Action: Ichidant-R (Korea)	pa2_02.bin	524288	fc7b0da5	sample	0x0	whole	pa2_02.bin		
puyo		Puyo Puyo (World)	epr-15198.ic32	131072	9610d80c	program	0x0	even			
puyo		Puyo Puyo (World)	epr-15197.ic31	131072	7b1f3229	program	0x0	odd			
puyo		Puyo Puyo (World)	epr-15200.ic34	131072	0a0692e5	program	0x100000	even			
puyo		Puyo Puyo (World)	epr-15199.ic33	131072	353109b8	program	0x100000	odd			
puyo		Puyo Puyo (World)	epr-15196.ic4	131072	79112b3b	sample	0x0	whole			
puyobl	puyo	Puyo Puyo (World, bootleg)	puyopuyb.4bo	131072	89ea4d33	program	0x0	even			
puyobl	puyo	Puyo Puyo (World, bootleg)	puyopuyb.3bo	131072	c002e545	program	0x0	odd			
puyobl	puyo	Puyo Puyo (World, bootleg)	puyopuyb.6bo	131072	0a0692e5	program	0x100000	even	epr-15200.ic34		
puyobl	puyo	Puyo Puyo (World, bootleg)	puyopuyb.5bo	131072	353109b8	program	0x100000	odd	epr-15199.ic33		
puyobl	puyo	Puyo Puyo (World, bootleg)	puyopuyb.abo	131072	79112b3b	sample	0x0	whole	epr-15196.ic4		
puyoj	puyo	Puyo Puyo (Japan, Rev B)	epr-15036b.ic32	131072	5310ca1b	program	0x0	even			
puyoj	puyo	Puyo Puyo (Japan, Rev B)	epr-15035b.ic31	131072	bc62e400	program	0x0	odd			
puyoj	puyo	Puyo Puyo (Japan, Rev B)	epr-15038.ic34	131072	3b9eea0c	program	0x100000	even			
puyoj	puyo	Puyo Puyo (Japan, Rev B)	epr-15037.ic33	131072	be2f7974	program	0x100000	odd			
puyoj	puyo	Puyo Puyo (Japan, Rev B)	epr-15034.ic4	131072	5688213b	sample	0x0	whole			
puyoja	puyo	Puyo Puyo (Japan, Rev A)	epr-15036a.ic32	131072	61b35257	program	0x0	even		puyopuya	ep15036a.32
puyoja	puyo	Puyo Puyo (Japan, Rev A)	epr-15035a.ic31	131072	dfebb6d9	program	0x0	odd		puyopuya	ep15035a.31
puyoja	puyo	Puyo Puyo (Japan, Rev A)	epr-15038.ic34	131072	3b9eea0c	program	0x100000	even		puyopuya	epr15038
puyoja	puyo	Puyo Puyo (Japan, Rev A)	epr-15037.ic33	131072	be2f7974	program	0x100000	odd		puyopuya	epr15037
puyoja	puyo	Puyo Puyo (Japan, Rev A)	epr-15034.ic4	131072	5688213b	sample	0x0	whole		puyopuya	epr15034
puyopuy2		Puyo Puyo 2 (Japan)	epr-17241.ic32	524288	1cad1149	program	0x0	even			
puyopuy2		Puyo Puyo 2 (Japan)	epr-17240.ic31	524288	beecf96d	program	0x0	odd			
puyopuy2		Puyo Puyo 2 (Japan)	epr-17239.ic4	524288	020ff6ef	sample	0x0	whole			
tantr		Puzzle & Action: Tant-R (Japan)	epr-15614.ic32	524288	557782bc	program	0x0	even		tantr	epr15614.32
tantr		Puzzle & Action: Tant-R (Japan)	epr-15613.ic31	524288	14bbb235	program	0x0	odd		tantr	epr15613.31
tantr		Puzzle & Action: Tant-R (Japan)	mpr-15616.ic34	524288	17b80202	program	0x100000	even		tantr	mpr15616.34
tantr		Puzzle & Action: Tant-R (Japan)	mpr-15615.ic33	524288	36a88bd4	program	0x100000	odd		tantr	mpr15615.33
tantr		Puzzle & Action: Tant-R (Japan)	epr-15617.ic4	262144	338324a1	sample	0x0	whole		tantr	epr15617.4
tantrbl	tantr	Puzzle & Action: Tant-R (Japan) (bootleg set 1)	pa_e10.bin	524288	6c3f711f	program	0x0	even		tantrbl	pa_e10.bin
tantrbl	tantr	Puzzle & Action: Tant-R (Japan) (bootleg set 1)	pa_f10.bin	524288	75526786	program	0x0	odd		tantrbl	
tantrbl	tantr	Puzzle & Action: Tant-R (Japan) (bootleg set 1)	mpr-15616.ic34	524288	17b80202	program	0x100000	even	mpr-15616.ic34	tantrbl	mpr15616.34
tantrbl	tantr	Puzzle & Action: Tant-R (Japan) (bootleg set 1)	mpr-15615.ic33	524288	36a88bd4	program	0x100000	odd	mpr-15615.ic33	tantrbl	mpr15615.33
tantrbl	tantr	Puzzle & Action: Tant-R (Japan) (bootleg set 1)	pa_e03.bin	131072	72918c58	sample	0x20000	whole		tantrbl	pa_e03.bin
tantrbl	tantr	Puzzle & Action: Tant-R (Japan) (bootleg set 1)	pa_e02.bin	131072	4e85b2a3	sample	0x0	whole		tantrbl	pa_e02.bin
tantrbl2	tantr	Puzzle & Action: Tant-R (Japan) (bootleg set 2)	trb2_2.32	524288	8fc99c48	program	0x0	even			
tantrbl2	tantr	Puzzle & Action: Tant-R (Japan) (bootleg set 2)	trb2_1.31	524288	c318d00d	program	0x0	odd			
tantrbl2	tantr	Puzzle & Action: Tant-R (Japan) (bootleg set 2)	mpr-15616.ic34	524288	17b80202	program	0x100000	even	mpr-15616.ic34		
tantrbl2	tantr	Puzzle & Action: Tant-R (Japan) (bootleg set 2)	mpr-15615.ic33	524288	36a88bd4	program	0x100000	odd	mpr-15615.ic33		
tantrbl3	tantr	Puzzle & Action: Tant-R (Japan) (bootleg set 3)	2.u29	524288	faecb7b1	program	0x0	even			
tantrbl3	tantr	Puzzle & Action: Tant-R (Japan) (bootleg set 3)	1.u28	524288	3304556d	program	0x0	odd			
tantrbl3	tantr	Puzzle & Action: Tant-R (Japan) (bootleg set 3)	4.u31	524288	17b80202	program	0x100000	even	mpr-15616.ic34		
tantrbl3	tantr	Puzzle & Action: Tant-R (Japan) (bootleg set 3)	3.u30	524288	36a88bd4	program	0x100000	odd	mpr-15615.ic33		
tantrbl4	tantr	Puzzle & Action: Tant-R (Japan) (bootleg set 4)	a.bin	524288	25cafec2	program	0x0	even			
tantrbl4	tantr	Puzzle & Action: Tant-R (Japan) (bootleg set 4)	b.bin	524288	8cf5ffd5	program	0x0	odd			
tantrbl4	tantr	Puzzle & Action: Tant-R (Japan) (bootleg set 4)	d.bin	524288	17b80202	program	0x100000	even	mpr-15616.ic34		
tantrbl4	tantr	Puzzle & Action: Tant-R (Japan) (bootleg set 4)	c.bin	524288	36a88bd4	program	0x100000	odd	mpr-15615.ic33		
tantrbl4	tantr	Puzzle & Action: Tant-R (Japan) (bootleg set 4)	2.bin	131072	72918c58	sample	0x20000	whole			
tantrbl4	tantr	Puzzle & Action: Tant-R (Japan) (bootleg set 4)	1.bin	131072	4e85b2a3	sample	0x0	whole			
tantrkor	tantr	Puzzle & Action: Tant-R (Korea)	mpr-15592b.ic32	524288	7efe26b3	program	0x0	even			
tantrkor	tantr	Puzzle & Action: Tant-R (Korea)	mpr-15592b.ic31	524288	af5a860f	program	0x0	odd			
tantrkor	tantr	Puzzle & Action: Tant-R (Korea)	mpr-15992b.ic34	524288	6282a5d4	program	0x100000	even			
tantrkor	tantr	Puzzle & Action: Tant-R (Korea)	mpr-15592b.ic33	524288	82d78413	program	0x100000	odd			
tantrkor	tantr	Puzzle & Action: Tant-R (Korea)	epr-15617.ic4	262144	338324a1	sample	0x0	whole	epr-15617.ic4		
tfrceac		Thunder Force AC	epr-13675.ic32	262144	95ecf202	program	0x0	even			
tfrceac		Thunder Force AC	epr-13674.ic31	262144	e63d7f1a	program	0x0	odd			
tfrceac		Thunder Force AC	epr-13659.ic34	262144	29f23461	program	0x100000	even			
tfrceac		Thunder Force AC	epr-13658.ic33	262144	9e23734f	program	0x100000	odd			
tfrceac		Thunder Force AC	epr-13655.ic4	262144	e09961f6	sample	0x0	whole			
tfrceacb	tfrceac	Thunder Force AC (bootleg)	4.bin	262144	eba059d3	program	0x0	even		tfacbl	4.bin
tfrceacb	tfrceac	Thunder Force AC (bootleg)	3.bin	262144	3e5dc542	program	0x0	odd		tfacbl	3.bin
tfrceacb	tfrceac	Thunder Force AC (bootleg)	epr-13659.ic34	262144	29f23461	program	0x100000	even	epr-13659.ic34	tfacbl	
tfrceacb	tfrceac	Thunder Force AC (bootleg)	epr-13658.ic33	262144	9e23734f	program	0x100000	odd	epr-13658.ic33	tfacbl	
tfrceacb	tfrceac	Thunder Force AC (bootleg)	epr-13655.ic4	262144	e09961f6	sample	0x0	whole	epr-13655.ic4	tfacbl	
tfrceacj	tfrceac	Thunder Force AC (Japan)	epr-13657.ic32	262144	a0f38ffd	program	0x0	even		tfacjp	Epr13657.32
tfrceacj	tfrceac	Thunder Force AC (Japan)	epr-13656.ic31	262144	b9438d1e	program	0x0	odd		tfacjp	Epr13656.31
tfrceacj	tfrceac	Thunder Force AC (Japan)	epr-13659.ic34	262144	29f23461	program	0x100000	even	epr-13659.ic34	tfacjp	
tfrceacj	tfrceac	Thunder Force AC (Japan)	epr-13658.ic33	262144	9e23734f	program	0x100000	odd	epr-13658.ic33	tfacjp	
tfrceacj	tfrceac	Thunder Force AC (Japan)	epr-13655.ic4	262144	e09961f6	sample	0x0	whole	epr-13655.ic4	tfacjp	
tfrceacjpb	tfrceac	Thunder Force AC (Japan, prototype, bootleg)	ic32_t.f.ac_075f.ic32	262144	2167dd93	program	0x0	even			
tfrceacjpb	tfrceac	Thunder Force AC (Japan, prototype, bootleg)	ic31_t.f.ac_0d26.id31	262144	ebf02bba	program	0x0	odd			
tfrceacjpb	tfrceac	Thunder Force AC (Japan, prototype, bootleg)	ic34_t.f.ac_549d.ic34	262144	902ad2ec	program	0x100000	even			
tfrceacjpb	tfrceac	Thunder Force AC (Japan, prototype, bootleg)	ic33_t.f.ac_d131.ic33	262144	b162219d	program	0x100000	odd			
zunkyou		Zunzunkyou no Yabou (Japan)	epr-16812.ic32	524288	eb088fb0	program	0x0	even		zunkyou	epr16812.32
zunkyou		Zunzunkyou no Yabou (Japan)	epr-16811.ic31	524288	9ac7035b	program	0x0	odd		zunkyou	epr16811.31
zunkyou		Zunzunkyou no Yabou (Japan)	epr-16814.ic34	524288	821b3b77	program	0x100000	even		zunkyou	epr16814.34
zunkyou		Zunzunkyou no Yabou (Japan)	epr-16813.ic33	524288	3cba9e8f	program	0x100000	odd		zunkyou	epr16813.33
zunkyou		Zunzunkyou no Yabou (Japan)	epr-16810.ic4	524288	d542f0fe	sample	0x0	whole		zunkyou	epr16810.4
)";

}  // namespace romset_test
