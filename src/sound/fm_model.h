// The two models of the FM synthesizer: the chip model (its own sample rate,
// envelopes, timers and status as the chip has them) and the classic model
// of earlier versions, which renders straight at the host rate.
#pragma once

enum fm_model_kind : int { fm_model_chip = 0, fm_model_classic = 1 };
