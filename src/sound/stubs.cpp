// Minimal bodies until the sound chips are written; remove each as it lands.
#include "sound/mixer.h"
#include "sound/sn76496.h"
#include "sound/sound_sink.h"
#include "sound/upd7759.h"
#include "sound/ym2612.h"

int YM2612Init(int, int, int, ym_timer_handler, ym_irq_handler) { return 0; }
void YM2612ResetChip(int) {}
int YM2612Write(int, int, uint8_t) { return 0; }
void YM2612UpdateOne(int, int16_t**, int) {}
void YM2612Shutdown() {}
int SN76496_init(int, int, int, int) { return 0; }
void SN76496Write(int, int) {}
void SN76496Update(int, int16_t*, int) {}
int UPD7759_sh_start(const upd7759_interface*) { return 0; }
void UPD7759_reset_w(int, int) {}
void UPD7759_message_w(int, int) {}
void UPD7759_start_w(int, int) {}
void UPD7759_update(int, int16_t*, int) {}

uint32_t channel_mask = 0xFFFFFFFFu;
int sound_initialised;
int samples_per_frame;
int audio_init(int) { return 0; }
void audio_shutdown() {}
void render_sound(int16_t*) {}
void w32_update_audio() {}
int init_sound(int) { return 0; }
void silence_sound() {}
void release_sound() {}
void sound_error(const char*) {}
void set_sound_sink(sound_sink*) {}
