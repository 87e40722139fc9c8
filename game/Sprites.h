// Sprite and text helpers: loading a TGA file into a device texture, drawing
// glyphs of the font texture, and drawing a sprite wrapped around the edges
// of the 640 x 480 playfield. All drawing goes through g_Utils in its screen
// space (x right, y down, origin top-left).
//
// DrawChar and DrawWrappedQuad only add quads to a batch that the caller has
// begun (texture, blend, colour and rotation already set) and ends itself;
// DrawText draws a whole line as a batch of its own.
#ifndef NVORN_GAME_SPRITES_H
#define NVORN_GAME_SPRITES_H

// Loads the TGA file and stores the new texture's handle in handle; -1 when
// the file is missing or cannot be decoded, so the sprite stays invisible.
void LoadTexture(long& handle, const char* fileName);

// Adds the glyph of c as a 16 x 16 quad centred on (x, y); a character with
// no cell in the font adds nothing.
void DrawChar(float x, float y, char c);

// Draws text as one line, first glyph centred on (x, y), 16 units apart.
void DrawText(float x, float y, char* text);

// Adds the w x h quad centred on (x, y) and its eight copies one playfield
// width and height away, so that a sprite crossing an edge also shows on the
// opposite one.
void DrawWrappedQuad(float x, float y, float w, float h);

#endif
