// A small sound library with the seven calls the game uses: start and stop
// whole samples on a fixed set of mixing channels. Playback goes through
// OpenAL Soft, decoding through libsndfile.
#ifndef BRIXEL_FSOUND_H
#define BRIXEL_FSOUND_H

// Channel arguments of FSOUND_PlaySound and FSOUND_StopSound.
#define FSOUND_FREE (-1)        // play on any free channel
#define FSOUND_ALL (-3)         // stop every channel

// Sample modes.
#define FSOUND_LOOP_OFF 1       // play once
#define FSOUND_LOOP_NORMAL 2    // repeat until stopped
#define FSOUND_WHOLEFILE 4096   // decode the whole file into memory at load

typedef struct FSOUND_SAMPLE FSOUND_SAMPLE;

// Opens the output at the given mixing rate with the given number of
// channels. Returns 1 on success; with no audio device (or one that cannot
// mix) it prints one line on stderr, still returns 1 and plays silently.
// Returns 0 only when not even that can be set up (out of memory).
signed char FSOUND_Init(int mixrate, int maxsoftwarechannels, unsigned int flags);

// Loads a whole WAV or MP3 file. index is ignored (pass -1), offset and length
// 0 mean the whole file. Returns a handle; a file that cannot be decoded gives a
// handle that plays nothing. Returns 0 only before FSOUND_Init or for a null name.
FSOUND_SAMPLE *FSOUND_Sample_Load(int index, const char *name, unsigned int mode, int offset, int length);

// FSOUND_LOOP_NORMAL makes the sample repeat until it is stopped. Returns 1 on success.
signed char FSOUND_Sample_SetMode(FSOUND_SAMPLE *sample, unsigned int mode);

// Starts the whole sample at once on channel FSOUND_FREE. Starting a sample that
// already sounds starts a further copy. Returns the channel used, or -1.
int FSOUND_PlaySound(int channel, FSOUND_SAMPLE *sample);

// The gain (1 as loaded, 0 silent) of the sample's later starts and of the
// channels playing it now; at 0 those channels stop. Returns 1 on success.
signed char FSOUND_Sample_SetGain(FSOUND_SAMPLE *sample, float gain);

// FSOUND_ALL stops every channel at once; a channel number stops that channel.
signed char FSOUND_StopSound(int channel);

// Releases a sample (and stops any channel still playing it).
void FSOUND_Sample_Free(FSOUND_SAMPLE *sample);

// Stops everything and closes the output.
void FSOUND_Close(void);

// Beside the seven: with a rate set before FSOUND_Init, Init opens OpenAL
// Soft's loopback device (ALC_SOFT_loopback) at that rate, 16-bit stereo, in
// place of a sound card, and nothing sounds until FSOUND_Render asks for it;
// 0 goes back to a real device at the next Init. In loopback Init fails (0)
// rather than play silently.
void FSOUND_Loopback(int rate);
// Mixes the next `frames` stereo frames of the loopback device into out
// (2 * frames shorts). False when the output is no loopback device.
bool FSOUND_Render(short *out, int frames);

#endif
