// MOVE.L and MOVEA.L handlers.
#include "cpu68k/s68000_move.h"

namespace s68k {

handler move_handler_l(int s, int d, int dr) {
    static const grid<move_sized<2>::op, NFORMS, AL + 1, 8, 1> g;
    return g.t[s][d][dr][0];
}

}  // namespace s68k
