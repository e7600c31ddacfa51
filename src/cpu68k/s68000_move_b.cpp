// MOVE.B handlers.
#include "cpu68k/s68000_move.h"

namespace s68k {

handler move_handler_b(int s, int d, int dr) {
    static const grid<move_sized<0>::op, NFORMS, AL + 1, 8, 1> g;
    return g.t[s][d][dr][0];
}

}  // namespace s68k
