// The versions of the board's games that only today's ROM sets know: World,
// US and Korean releases and bootlegs, each with the board flags of its
// title's record in the game table.
#include "machine/rom_lists.h"

namespace {

using namespace rom_lists;

const rom_entry bloxeedu_roms[] = {
    even("epr-12997a.ic32", k128, 0x000000, 0x23655bc9),
    odd("epr-12996a.ic31", k128, 0x000000, 0x83c83f0c),
    even("epr-12993.ic34", k128, 0x040000, 0x487bc8fc),
    odd("epr-12992.ic33", k128, 0x040000, 0x19b0084c),
    end_of_list};
const rom_entry borencha_roms[] = {
    even("epr-13591.ic32", k256, 0x000000, 0x7851078b),
    odd("epr-13590.ic31", k256, 0x000000, 0x01bc6fe6),
    sample("epr-13587.ic4", k128, 0x000000, 0x62b85e56, "epr-13587.ic4"),
    end_of_list};
const rom_entry borenchj_roms[] = {
    even("epr-13586.ic32", k256, 0x000000, 0x62d7f8e8),
    odd("epr-13585.ic31", k256, 0x000000, 0x087b9704),
    sample("epr-13587.ic4", k128, 0x000000, 0x62b85e56, "epr-13587.ic4"),
    end_of_list};
const rom_entry columns_roms[] = {
    even("epr-13114.ic32", k128, 0x000000, 0xff78f740),
    odd("epr-13113.ic31", k128, 0x000000, 0x9a426d9b),
    end_of_list};
const rom_entry columnsu_roms[] = {
    even("epr-13116a.ic32", k128, 0x000000, 0xa0284b16),
    odd("epr-13115a.ic31", k128, 0x000000, 0xe37496f3),
    end_of_list};
const rom_entry columns2_roms[] = {
    even("epr-13363.ic32", k128, 0x000000, 0xc99e4ffd),
    odd("epr-13362.ic31", k128, 0x000000, 0x394e2419),
    end_of_list};
const rom_entry ichir_roms[] = {
    even("pa2_32.bin", k512, 0x000000, 0x7ba0c025),
    odd("pa2_31.bin", k512, 0x000000, 0x5f86e5cc),
    even("epr-16888.ic34", k512, 0x100000, 0x85d73722),
    odd("epr-16887.ic33", k512, 0x100000, 0xbc3bbf25),
    sample("pa2_02.bin", k512, 0x000000, 0xfc7b0da5),
    end_of_list};
const rom_entry ichirbl_roms[] = {
    even("2.f11", k512, 0x000000, 0xb8201c2e),
    odd("1.f10", k512, 0x000000, 0xaf0dd811),
    even("4.f8", k512, 0x100000, 0x85d73722, "epr-16888.ic34"),
    odd("3.f9", k512, 0x100000, 0xbc3bbf25, "epr-16887.ic33"),
    sample("2.e3", k512, 0x000000, 0xfc7b0da5, "pa2_02.bin"),
    end_of_list};
const rom_entry ichirjbl_roms[] = {
    even("27c4000.2", k512, 0x000000, 0x5a194f44),
    odd("27c4000.1", k512, 0x000000, 0xde209f84),
    even("epr-16888", k512, 0x100000, 0x85d73722, "epr-16888.ic34"),
    odd("epr-16887", k512, 0x100000, 0xbc3bbf25, "epr-16887.ic33"),
    end_of_list};
const rom_entry ichirk_roms[] = {
    even("epr_ichi.32", k512, 0x000000, 0x804dea11),
    odd("epr_ichi.31", k512, 0x000000, 0x92452353),
    even("epr-16888.ic34", k512, 0x100000, 0x85d73722, "epr-16888.ic34"),
    odd("epr-16887.ic33", k512, 0x100000, 0xbc3bbf25, "epr-16887.ic33"),
    sample("pa2_02.bin", k512, 0x000000, 0xfc7b0da5, "pa2_02.bin"),
    end_of_list};
const rom_entry puyo_roms[] = {
    even("epr-15198.ic32", k128, 0x000000, 0x9610d80c),
    odd("epr-15197.ic31", k128, 0x000000, 0x7b1f3229),
    even("epr-15200.ic34", k128, 0x100000, 0x0a0692e5),
    odd("epr-15199.ic33", k128, 0x100000, 0x353109b8),
    sample("epr-15196.ic4", k128, 0x000000, 0x79112b3b),
    end_of_list};
const rom_entry puyobl_roms[] = {
    even("puyopuyb.4bo", k128, 0x000000, 0x89ea4d33),
    odd("puyopuyb.3bo", k128, 0x000000, 0xc002e545),
    even("puyopuyb.6bo", k128, 0x100000, 0x0a0692e5, "epr-15200.ic34"),
    odd("puyopuyb.5bo", k128, 0x100000, 0x353109b8, "epr-15199.ic33"),
    sample("puyopuyb.abo", k128, 0x000000, 0x79112b3b, "epr-15196.ic4"),
    end_of_list};
const rom_entry puyoj_roms[] = {
    even("epr-15036b.ic32", k128, 0x000000, 0x5310ca1b),
    odd("epr-15035b.ic31", k128, 0x000000, 0xbc62e400),
    even("epr-15038.ic34", k128, 0x100000, 0x3b9eea0c),
    odd("epr-15037.ic33", k128, 0x100000, 0xbe2f7974),
    sample("epr-15034.ic4", k128, 0x000000, 0x5688213b),
    end_of_list};
const rom_entry puyopuy2_roms[] = {
    even("epr-17241.ic32", k512, 0x000000, 0x1cad1149),
    odd("epr-17240.ic31", k512, 0x000000, 0xbeecf96d),
    sample("epr-17239.ic4", k512, 0x000000, 0x020ff6ef),
    end_of_list};
const rom_entry tantrbl2_roms[] = {
    even("trb2_2.32", k512, 0x000000, 0x8fc99c48),
    odd("trb2_1.31", k512, 0x000000, 0xc318d00d),
    even("mpr-15616.ic34", k512, 0x100000, 0x17b80202, "mpr-15616.ic34"),
    odd("mpr-15615.ic33", k512, 0x100000, 0x36a88bd4, "mpr-15615.ic33"),
    end_of_list};
const rom_entry tantrbl3_roms[] = {
    even("2.u29", k512, 0x000000, 0xfaecb7b1),
    odd("1.u28", k512, 0x000000, 0x3304556d),
    even("4.u31", k512, 0x100000, 0x17b80202, "mpr-15616.ic34"),
    odd("3.u30", k512, 0x100000, 0x36a88bd4, "mpr-15615.ic33"),
    end_of_list};
const rom_entry tantrbl4_roms[] = {
    even("a.bin", k512, 0x000000, 0x25cafec2),
    odd("b.bin", k512, 0x000000, 0x8cf5ffd5),
    even("d.bin", k512, 0x100000, 0x17b80202, "mpr-15616.ic34"),
    odd("c.bin", k512, 0x100000, 0x36a88bd4, "mpr-15615.ic33"),
    sample("2.bin", k128, 0x020000, 0x72918c58),
    sample("1.bin", k128, 0x000000, 0x4e85b2a3),
    end_of_list};
const rom_entry tantrkor_roms[] = {
    even("mpr-15592b.ic32", k512, 0x000000, 0x7efe26b3),
    odd("mpr-15592b.ic31", k512, 0x000000, 0xaf5a860f),
    even("mpr-15992b.ic34", k512, 0x100000, 0x6282a5d4),
    odd("mpr-15592b.ic33", k512, 0x100000, 0x82d78413),
    sample("epr-15617.ic4", k256, 0x000000, 0x338324a1, "epr-15617.ic4"),
    end_of_list};
const rom_entry tfrceac_roms[] = {
    even("epr-13675.ic32", k256, 0x000000, 0x95ecf202),
    odd("epr-13674.ic31", k256, 0x000000, 0xe63d7f1a),
    even("epr-13659.ic34", k256, 0x100000, 0x29f23461),
    odd("epr-13658.ic33", k256, 0x100000, 0x9e23734f),
    sample("epr-13655.ic4", k256, 0x000000, 0xe09961f6),
    end_of_list};
const rom_entry tfrceacb_roms[] = {
    even("4.bin", k256, 0x000000, 0xeba059d3),
    odd("3.bin", k256, 0x000000, 0x3e5dc542),
    even("epr-13659.ic34", k256, 0x100000, 0x29f23461, "epr-13659.ic34"),
    odd("epr-13658.ic33", k256, 0x100000, 0x9e23734f, "epr-13658.ic33"),
    sample("epr-13655.ic4", k256, 0x000000, 0xe09961f6, "epr-13655.ic4"),
    end_of_list};
const rom_entry tfrceacjpb_roms[] = {
    even("ic32_t.f.ac_075f.ic32", k256, 0x000000, 0x2167dd93),
    odd("ic31_t.f.ac_0d26.id31", k256, 0x000000, 0xebf02bba),
    even("ic34_t.f.ac_549d.ic34", k256, 0x100000, 0x902ad2ec),
    odd("ic33_t.f.ac_d131.ic33", k256, 0x100000, 0xb162219d),
    end_of_list};

const driver_record bloxeedu = {"bloxeedu", "Bloxeed (US, C System, Rev A)",
    bloxeedu_roms, wiring::full, 0, "bloxeed"};
const driver_record borencha = {"borencha", "Borench (set 2)", borencha_roms, wiring::full, 0, "borench"};
const driver_record borenchj = {"borenchj", "Borench (Japan)", borenchj_roms, wiring::full, 0, "borench"};
const driver_record columns = {"columns", "Columns (World)", columns_roms, wiring::full, 0, nullptr};
const driver_record columnsu = {"columnsu", "Columns (US, cocktail, Rev A)",
    columnsu_roms, wiring::full, 0, "columns"};
const driver_record columns2 = {"columns2", "Columns II: The Voyage Through Time (World)",
    columns2_roms, wiring::full, 0, nullptr};
const driver_record ichir = {"ichir", "Puzzle & Action: Ichidant-R (World)",
    ichir_roms, wiring::fixed, 0, nullptr};
const driver_record ichirbl = {"ichirbl", "Puzzle & Action: Ichidant-R (World) (bootleg)",
    ichirbl_roms, wiring::fixed, 0, "ichir"};
const driver_record ichirjbl = {"ichirjbl", "Puzzle & Action: Ichidant-R (Japan) (bootleg)",
    ichirjbl_roms, wiring::fixed, 0, "ichir"};
const driver_record ichirk = {"ichirk", "Puzzle & Action: Ichidant-R (Korea)",
    ichirk_roms, wiring::fixed, 0, "ichir"};
const driver_record puyo = {"puyo", "Puyo Puyo (World)", puyo_roms, wiring::full, 0, nullptr};
const driver_record puyobl = {"puyobl", "Puyo Puyo (World, bootleg)", puyobl_roms, wiring::full, 0, "puyo"};
const driver_record puyoj = {"puyoj", "Puyo Puyo (Japan, Rev B)", puyoj_roms, wiring::full, 0, "puyo"};
const driver_record puyopuy2 = {"puyopuy2", "Puyo Puyo 2 (Japan)", puyopuy2_roms, wiring::no_select, 0, nullptr};
const driver_record tantrbl2 = {"tantrbl2", "Puzzle & Action: Tant-R (Japan) (bootleg set 2)",
    tantrbl2_roms, wiring::no_select, 0, "tantr"};
const driver_record tantrbl3 = {"tantrbl3", "Puzzle & Action: Tant-R (Japan) (bootleg set 3)",
    tantrbl3_roms, wiring::no_select, 0, "tantr"};
const driver_record tantrbl4 = {"tantrbl4", "Puzzle & Action: Tant-R (Japan) (bootleg set 4)",
    tantrbl4_roms, wiring::no_select, 0, "tantr"};
const driver_record tantrkor = {"tantrkor", "Puzzle & Action: Tant-R (Korea)",
    tantrkor_roms, wiring::no_select, 0, "tantr"};
const driver_record tfrceac = {"tfrceac", "Thunder Force AC", tfrceac_roms, wiring::full, 0, nullptr};
const driver_record tfrceacb = {"tfrceacb", "Thunder Force AC (bootleg)",
    tfrceacb_roms, wiring::no_select, 0, "tfrceac"};
const driver_record tfrceacjpb = {"tfrceacjpb", "Thunder Force AC (Japan, prototype, bootleg)",
    tfrceacjpb_roms, wiring::full, 0, "tfrceac"};

}  // namespace

const driver_record* const romset_list[] = {
    &bloxeedu, &borencha, &borenchj, &columns, &columnsu, &columns2, &ichir, &ichirbl, &ichirjbl,
    &ichirk, &puyo, &puyobl, &puyoj, &puyopuy2, &tantrbl2, &tantrbl3, &tantrbl4, &tantrkor,
    &tfrceac, &tfrceacb, &tfrceacjpb, nullptr};
