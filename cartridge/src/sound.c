/* Sound sequencing, run once a frame from the vertical interrupt. The FM
   chip hears register writes at the next block it produces, so a frame
   is the finest step; key-off and key-on in one frame retrigger a note. */
#include "sound.h"

volatile u8 sound_request;
volatile u8 sound_muted;
volatile u8 music_enabled;

/* Operator registers in slot order (offsets 0, 4, 8, 12: operators 1, 3,
   2, 4): DT/MUL, TL, KS/AR, AM/D1R, D2R, SL/RR. */
struct patch {
    u8 op[4][6];
    u8 fb_alg;
    u8 lfo;   /* pan, AMS, PMS */
};

/* One pure sine: only operator 4 is heard. */
static const struct patch patch_sine = {
    {{0x01, 127, 0x1F, 0, 0, 0x0F},
     {0x01, 127, 0x1F, 0, 0, 0x0F},
     {0x01, 127, 0x1F, 0, 0, 0x0F},
     {0x01, 0, 0x1F, 0, 0, 0x06}},
    0x07, 0xC0};
/* Two modulator-carrier pairs. */
static const struct patch patch_organ = {
    {{0x02, 32, 0x1F, 4, 2, 0x26},
     {0x01, 36, 0x1F, 4, 2, 0x26},
     {0x01, 8, 0x1F, 3, 1, 0x16},
     {0x01, 10, 0x1F, 3, 1, 0x16}},
    0x1C, 0xC0};
/* A four-operator chain with feedback. */
static const struct patch patch_brass = {
    {{0x01, 30, 0x1F, 6, 2, 0x27},
     {0x02, 40, 0x1C, 6, 2, 0x27},
     {0x01, 38, 0x1C, 6, 2, 0x27},
     {0x01, 6, 0x1A, 4, 2, 0x27}},
    0x30, 0xC0};
/* One modulator on three carriers, with vibrato and tremolo. */
static const struct patch patch_bell = {
    {{0x07, 38, 0x1F, 8, 3, 0x46},
     {0x82, 16, 0x1F, 0x85, 3, 0x46},
     {0x01, 12, 0x1F, 0x85, 3, 0x46},
     {0x03, 20, 0x1F, 0x85, 3, 0x46}},
    0x05, 0xE4};
/* Music: a plucked bass and a soft lead. */
static const struct patch patch_bass = {
    {{0x00, 28, 0x1F, 10, 4, 0x58},
     {0x01, 40, 0x1F, 10, 4, 0x58},
     {0x00, 34, 0x1F, 10, 4, 0x58},
     {0x00, 8, 0x1F, 8, 4, 0x58}},
    0x12, 0xC0};
static const struct patch patch_lead = {
    {{0x04, 44, 0x1F, 6, 3, 0x47},
     {0x01, 24, 0x1F, 6, 3, 0x47},
     {0x01, 24, 0x1F, 6, 3, 0x47},
     {0x02, 30, 0x1F, 6, 3, 0x47}},
    0x06, 0xC0};

/* Frequency numbers of C to B at the block of the note's octave. */
static const u16 fnums[12] = {644, 682, 723, 766, 811, 859, 910, 965, 1022, 1083, 1147, 1215};

static void ym_write(int half, u8 reg, u8 value)
{
    if (half) {
        YM_ADDR1 = reg;
        YM_DATA1 = value;
    } else {
        YM_ADDR0 = reg;
        YM_DATA0 = value;
    }
}

/* Channels 0-5; the key register codes them 0-2 and 4-6. */
static u8 key_code(int ch) { return (u8)(ch < 3 ? ch : ch + 1); }

static void fm_patch(int ch, const struct patch *p)
{
    int half = ch >= 3, c = ch < 3 ? ch : ch - 3, slot, r;
    for (slot = 0; slot < 4; slot++)
        for (r = 0; r < 6; r++)
            ym_write(half, (u8)(0x30 + (r << 4) + (slot << 2) + c), p->op[slot][r]);
    ym_write(half, (u8)(0xB0 + c), p->fb_alg);
    ym_write(half, (u8)(0xB4 + c), p->lfo);
}

/* note = octave * 12 + semitone */
static void fm_note(int ch, int note)
{
    int half = ch >= 3, c = ch < 3 ? ch : ch - 3;
    int octave = 0;
    u16 f;
    while (note >= 12) {
        note -= 12;
        octave++;
    }
    f = fnums[note];
    ym_write(0, 0x28, key_code(ch));
    ym_write(half, (u8)(0xA4 + c), (u8)((octave << 3) | (f >> 8)));
    ym_write(half, (u8)(0xA0 + c), (u8)(f & 0xFF));
    ym_write(0, 0x28, (u8)(0xF0 | key_code(ch)));
}

static void fm_off(int ch) { ym_write(0, 0x28, key_code(ch)); }

static void psg_tone(int ch, u16 period, u8 attenuation)
{
    PSG_PORT = (u8)(0x80 | (ch << 5) | (period & 0x0F));
    PSG_PORT = (u8)((period >> 4) & 0x3F);
    PSG_PORT = (u8)(0x90 | (ch << 5) | attenuation);
}

static void psg_volume(int ch, u8 attenuation) { PSG_PORT = (u8)(0x90 | (ch << 5) | attenuation); }

static void psg_silence(void)
{
    int ch;
    for (ch = 0; ch < 4; ch++)
        psg_volume(ch, 15);
}

/* The jingle: a sine, then three other algorithms, then a chord with the
   LFO, the DAC thumping underneath and a bell sample at the end. */
static u16 jingle_frame; /* 0: not playing */
static u16 psg_frame;
static u16 music_step;
static u8 music_wait;

static const u8 bass_line[16] = {33, 33, 45, 33, 31, 31, 43, 31, 29, 29, 41, 29, 31, 31, 43, 31};
static const u8 lead_line[16] = {57, 0, 60, 64, 62, 0, 59, 0, 57, 0, 60, 65, 64, 0, 62, 0};

static void jingle_step(void)
{
    u16 f = jingle_frame++;
    switch (f) {
    case 0:
        fm_patch(0, &patch_sine);
        fm_note(0, 57); /* A4, 440 Hz */
        break;
    case 20:
        fm_off(0);
        fm_patch(1, &patch_organ);
        fm_note(1, 61);
        break;
    case 32:
        fm_off(1);
        fm_patch(2, &patch_brass);
        fm_note(2, 64);
        break;
    case 44:
        fm_off(2);
        fm_patch(0, &patch_bell);
        fm_patch(1, &patch_bell);
        fm_patch(2, &patch_bell);
        ym_write(0, 0x22, 0x0B); /* LFO on, 6 Hz */
        fm_note(0, 69);
        fm_note(1, 73);
        fm_note(2, 76);
        ym_write(1, 0xB6, 0xC0); /* the DAC takes channel 6, heard on both sides */
        ym_write(0, 0x2B, 0x80);
        break;
    case 80:
        fm_off(0);
        fm_off(1);
        fm_off(2);
        UPD_PORT = SAMPLE_BELL;
        break;
    case 120:
        ym_write(0, 0x22, 0x00);
        jingle_frame = 0;
        break;
    }
    /* A 30 Hz square on the DAC for the chord's first half second. */
    if (f >= 44 && f < 74)
        ym_write(0, 0x2A, (f & 1) ? 0xE0 : 0x20);
    else if (f == 74) {
        ym_write(0, 0x2A, 0x80);
        ym_write(0, 0x2B, 0x00);
    }
}

static void psg_step(void)
{
    u16 f = psg_frame++;
    switch (f) {
    case 0:
        psg_tone(0, 127, 0); /* 881 Hz */
        break;
    case 20:
        psg_volume(0, 15);
        psg_tone(1, 190, 2);
        psg_tone(2, 151, 2);
        break;
    case 35:
        psg_volume(1, 15);
        psg_volume(2, 15);
        PSG_PORT = 0xE4; /* white noise, fastest shift rate */
        psg_volume(3, 0);
        break;
    case 50:
        psg_volume(3, 15);
        psg_frame = 0;
        break;
    }
}

static void music_step_once(void)
{
    u8 b, l;
    if (music_wait) {
        music_wait--;
        return;
    }
    music_wait = 7;
    b = bass_line[music_step & 15];
    l = lead_line[music_step & 15];
    fm_note(3, b);
    if (l)
        fm_note(4, l);
    else
        fm_off(4);
    music_step++;
}

static void music_stop(void)
{
    fm_off(3);
    fm_off(4);
    music_wait = 0;
}

void sound_init(void)
{
    int ch;
    ym_write(0, 0x22, 0);
    ym_write(0, 0x27, 0);
    ym_write(0, 0x2B, 0);
    for (ch = 0; ch < 6; ch++)
        fm_off(ch);
    fm_patch(3, &patch_bass);
    fm_patch(4, &patch_lead);
    psg_silence();
    music_enabled = 1;
}

void sound_tick(void)
{
    u8 req = sound_request;
    sound_request = 0;
    if (req & REQ_MUTE) {
        sound_muted ^= 1;
        if (sound_muted) {
            int ch;
            for (ch = 0; ch < 6; ch++)
                fm_off(ch);
            ym_write(0, 0x2B, 0);
            ym_write(0, 0x22, 0);
            psg_silence();
            UPD_PORT = SAMPLE_SILENCE;
            jingle_frame = psg_frame = 0;
            music_wait = 0;
        }
    }
    if (sound_muted)
        return;
    if ((req & REQ_JINGLE) && !jingle_frame) {
        music_stop();
        jingle_step();
    } else if (jingle_frame)
        jingle_step();
    if ((req & REQ_PSG) && !psg_frame)
        psg_step();
    else if (psg_frame)
        psg_step();
    if (req & REQ_VOICE)
        UPD_PORT = SAMPLE_VOICE;
    else if (req & REQ_DRUM)
        UPD_PORT = SAMPLE_SNARE;
    if (jingle_frame || !music_enabled)
        music_stop();
    else
        music_step_once();
}
