// MOVE.W and MOVEA.W handlers.
#include "cpu68k/s68000_move.h"

namespace s68k {

handler move_handler_w(int s, int d, int dr) {
    static const grid<move_sized<1>::op, NFORMS, AL + 1, 8, 1> g;
    return g.t[s][d][dr][0];
}

}  // namespace s68k
