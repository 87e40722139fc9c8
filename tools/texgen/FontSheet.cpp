#include "FontSheet.h"

#include "Raster.h"
#include "Shapes.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdio>

static const int kCell = 16;
static const int kPixelSize = 14;
static const int kPixelWidth = 19; // glyphs are drawn wider than they are tall
static const int kBaseline = 12; // row of the baseline inside a cell

unsigned long FontCellCharacter(int cell)
{
	if (cell < 32)
		return 0xA4;
	if (cell == 96)
		return '\'';
	if (cell == 126)
		return '"';
	if (cell == 127)
		return 0;
	return static_cast<unsigned long>(cell);
}

namespace
{
// Coverage of one cell, row by row.
struct SCellCoverage
{
	float a[kCell][kCell] = {};

	float At(int x, int y) const
	{
		return x < 0 || y < 0 || x >= kCell || y >= kCell ? 0.0f : a[y][x];
	}
};
}

// Text advances a whole cell per character, so glyphs are widened to fill
// more of their cell: each as wide as it can be while leaving room for its
// outline, and never narrower than its natural width.
static bool LoadGlyph(FT_Face face, unsigned long code)
{
	for (int width = kPixelWidth; width > kPixelSize; width--)
	{
		FT_Set_Pixel_Sizes(face, width, kPixelSize);
		if (FT_Load_Char(face, code, FT_LOAD_RENDER) != 0)
			return false;
		if (static_cast<int>(face->glyph->bitmap.width) <= kCell - 2)
			return true;
	}
	FT_Set_Pixel_Sizes(face, 0, kPixelSize);
	return FT_Load_Char(face, code, FT_LOAD_RENDER) == 0;
}

// Rasterises one character into a cell, centred horizontally on its ink.
static void RenderGlyph(FT_Face face, unsigned long code, SCellCoverage& cell)
{
	if (code == 0 || !LoadGlyph(face, code))
		return;
	const FT_Bitmap& bitmap = face->glyph->bitmap;
	int left = (kCell - static_cast<int>(bitmap.width)) / 2;
	// Keep a free row at the bottom so that filtering never pulls in the
	// cell below; glyphs that reach that far are lifted by the difference.
	int top = std::min(kBaseline - face->glyph->bitmap_top, kCell - 1 - static_cast<int>(bitmap.rows));
	for (unsigned row = 0; row < bitmap.rows; row++)
	{
		for (unsigned col = 0; col < bitmap.width; col++)
		{
			int x = left + static_cast<int>(col), y = top + static_cast<int>(row);
			if (x < 0 || y < 0 || x >= kCell || y >= kCell)
				continue;
			cell.a[y][x] = bitmap.buffer[row * bitmap.pitch + col] / 255.0f;
		}
	}
}

// The outline: the glyph's coverage grown by one pixel.
static float Outline(const SCellCoverage& cell, int x, int y)
{
	float best = 0;
	for (int dy = -1; dy <= 1; dy++)
		for (int dx = -1; dx <= 1; dx++)
			best = std::max(best, cell.At(x + dx, y + dy) * (dx != 0 && dy != 0 ? 0.7f : 1.0f));
	return best;
}

static void PaintCell(CRaster& raster, int cellIndex, const SCellCoverage& cell)
{
	const SRGBA top{1, 1, 1, 1}, bottom{0.72f, 0.86f, 1, 1}, outline{0.03f, 0.04f, 0.12f, 1};
	int ox = cellIndex % 16 * kCell, oy = cellIndex / 16 * kCell;
	for (int y = 0; y < kCell; y++)
	{
		float t = SmoothStep(3, 13, static_cast<float>(y));
		SRGBA face{top.r + (bottom.r - top.r) * t, top.g + (bottom.g - top.g) * t, top.b + (bottom.b - top.b) * t, 1};
		for (int x = 0; x < kCell; x++)
		{
			float ink = cell.a[y][x], border = Outline(cell, x, y) * 0.9f;
			float alpha = std::max(ink, border);
			if (alpha <= 0)
				continue;
			float k = ink / alpha;
			raster.At(ox + x, oy + y) = SRGBA{outline.r + (face.r - outline.r) * k, outline.g + (face.g - outline.g) * k,
			                                  outline.b + (face.b - outline.b) * k, alpha};
		}
	}
}

bool PaintFontSheet(CRaster& raster, const char* fontPath)
{
	FT_Library library;
	if (FT_Init_FreeType(&library) != 0)
	{
		std::fprintf(stderr, "texgen: cannot start the font renderer\n");
		return false;
	}
	FT_Face face;
	if (FT_New_Face(library, fontPath, 0, &face) != 0)
	{
		std::fprintf(stderr, "texgen: cannot load the font %s\n", fontPath);
		FT_Done_FreeType(library);
		return false;
	}
	for (int i = 0; i < 128; i++)
	{
		SCellCoverage cell;
		RenderGlyph(face, FontCellCharacter(i), cell);
		PaintCell(raster, i, cell);
	}
	FT_Done_Face(face);
	FT_Done_FreeType(library);
	return true;
}
