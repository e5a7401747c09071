// The sounds of the game, each made by one function of the generator.
#ifndef BRIXEL_SFX_SOUNDS_H
#define BRIXEL_SFX_SOUNDS_H

#include <string>

#include "sfx_synth.h"

namespace sfx {

// Short effects (sfx_effects.cpp), mono.
Mono fx_explosion();  // a piece lands: soft thud
Mono fx_intarget();   // a row is removed: bright chime
Mono fx_rotate();     // a piece turns, the menu cursor moves: click
Mono fx_new();        // a new piece: whoosh
Mono fx_drag();       // a piece slides along a surface: scrape
Mono fx_alarm();      // the stack is near the top: siren blip
Mono fx_delete();     // a cell is erased from the top row: crumble
Mono fx_bells();      // the room goes dark: bells
Mono fx_breath();     // a skull rises: breath
Mono fx_glass();      // glass mode row: ping
Mono fx_glasshit();   // glass mode landing: clink
Mono fx_glassrub();   // glass mode slide: rub
Mono fx_laugh();      // a game starts: ha ha ha

// Tunes (sfx_music.cpp), stereo. The game loops music_game and tune_child.
Stereo music_title();     // about 30 s
Stereo music_game();      // about 100 s, seamless loop
Stereo music_gameover();  // about 7 s
Stereo tune_child();      // about 27 s, seamless loop

// The announcer's lines (sfx_speech.cpp), spoken by flite and written to
// sfx_dir. Returns false with one line in err when flite fails.
bool speak_lines(const std::string &sfx_dir, std::string &err);

}  // namespace sfx

#endif
