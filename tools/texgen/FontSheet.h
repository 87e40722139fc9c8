// The font texture: a 16 x 8 grid of 16 x 16 cells, cell i showing the
// character that the game's font layout stores at position i (cells 0..31
// the currency sign, 32..95 and 97..125 their own code, 96 the apostrophe,
// 126 the double quote, 127 empty). Glyphs are rendered from a TrueType
// font, centred in their cells, light with a dark outline so that they
// read over any background.
#pragma once

class CRaster;

// The Unicode code point shown in cell i (0..127), or 0 for an empty cell.
unsigned long FontCellCharacter(int cell);

// Renders the whole sheet (256 x 128) from the font file; false with a
// message on standard error when the font cannot be loaded.
bool PaintFontSheet(CRaster& raster, const char* fontPath);
