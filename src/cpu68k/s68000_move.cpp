// MOVEQ and the decoding of the MOVE lines.
#include "cpu68k/s68000_move.h"

namespace s68k {
namespace {

template <int R, int, int, int>
struct moveq_op {
    static void run(uint32_t op) {
        ctx.dreg[R] = uint32_t(int32_t(int8_t(op)));
        set_logic<4>(ctx.dreg[R]);
        w.rem -= 4;
    }
};

}  // namespace

handler decode_move(uint32_t op) {
    if ((op >> 12) == 7) {
        static const grid<moveq_op, 8, 1, 1, 1> q;
        if (op & 0x100) return nullptr;
        return q.t[(op >> 9) & 7][0][0][0];
    }
    int szi = (op >> 12) == 1 ? 0 : (op >> 12) == 3 ? 1 : 2;
    int s = form_of((op >> 3) & 7, op & 7);
    int dreg = (op >> 9) & 7;
    int d = form_of((op >> 6) & 7, dreg);
    if (s < 0 || d < 0 || d > AL || (d == AN && szi == 0)) return nullptr;
    int dr = d >= AW ? 0 : dreg;
    return szi == 0 ? move_handler_b(s, d, dr) : szi == 1 ? move_handler_w(s, d, dr) : move_handler_l(s, d, dr);
}

}  // namespace s68k
