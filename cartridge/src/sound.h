/* The three sound chips: FM music and jingle, PSG tones, ADPCM samples. */
#ifndef SOUND_H
#define SOUND_H
#include "hw.h"

/* Requests from the main loop; the vertical interrupt carries them out,
   so that only one place ever writes to the chips. */
extern volatile u8 sound_request;
#define REQ_JINGLE 0x01
#define REQ_PSG 0x02
#define REQ_VOICE 0x04
#define REQ_MUTE 0x08   /* toggles all sound off and on */
#define REQ_DRUM 0x10

extern volatile u8 sound_muted;
extern volatile u8 music_enabled;

#define SAMPLE_VOICE 0
#define SAMPLE_BELL 1
#define SAMPLE_SNARE 2
#define SAMPLE_SILENCE 3

void sound_init(void);
void sound_tick(void);

#endif
