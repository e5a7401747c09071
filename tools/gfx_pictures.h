// Every picture of the game, each made by its own function from code alone.
#pragma once

#include "gfx_image.h"

#include <string>

// Bricks and toy blocks (gfx_bricks.cpp).
Image make_brick1();      // falling piece: warm orange-red bevelled box
Image make_brick2();      // the stack: brushed steel-blue box with rivets
Image make_brick3();      // single cell: translucent glowing cyan box
Image make_brick4();      // the wall behind the well: a brick wall
Image make_childbrick1(); // child falling piece: yellow smiley block
Image make_childbrick2(); // child cells: pink block with four studs
Image make_childbrick4(); // child wall: deep-coloured tiles with stars and rings

// The desktop icon at size x size pixels, a few bricks (gfx_icon.cpp).
Image make_icon(int size);

// The room and its furniture (gfx_room.cpp).
Image make_background(); // 512 x 512 dark stone block wall, dark joints
Image make_wood1();      // vertical grain for the well's side walls
Image make_wood2();      // horizontal planks for the well's floor
Image make_column();     // fluted dark marble band around a cylinder
Image make_desk();       // mahogany frame around a green leather inlay
Image make_lightpanel(); // control panel with screen, lamps, buttons, meters

// Glows and overlays drawn with additive blending (gfx_glow.cpp).
Image make_lightmap(); // soft warm fan of light, black at the edges
Image make_alarm();    // the same fan in red
Image make_skill();    // green and cyan striped ring band
Image make_bonuses();  // gold and magenta striped ring band
Image make_skull();    // light skull on exact black
Image make_shine();    // sphere-mapped soft room reflection

// The 512 x 512 font image (gfx_font.cpp): plain glyphs in cells 0..95,
// outlined display glyphs in cells 128..223. Returns false and fills err
// when a font cannot be loaded or a glyph does not fit its cell.
bool make_font(const std::string &plain_font, const std::string &display_font, Image &out,
               std::string &err);
