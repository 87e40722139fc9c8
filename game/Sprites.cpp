#include "game/Sprites.h"

#include "game/GameObject.h"
#include "game/Globals.h"
#include "foundation/File.h"
#include "image/Image.h"
#include "image/TGA.h"
#include "render/Device.h"
#include "utils2d/2DUtils.h"

static const long FILE_READ_BINARY = 5;
static const float GLYPH_SIZE = 16;

void LoadTexture(long& handle, const char* fileName)
{
	NVorn::CImage image;
	NVorn::CFile file(fileName, FILE_READ_BINARY);
	// A file that fails to decode may leave a size and a depth but no pixels;
	// such an image must not become a texture of undefined texels.
	if (!NVorn::NTGA::Load(file, image) || !image.m_pData)
	{
		handle = -1;
		return;
	}
	handle = g_pDevice->CreateTexture(image);
}

namespace
{
// The cell of the font texture that shows each byte value: the first cell
// that stores it, or -1. Built once from the font layout, so that a line of
// text costs one look-up per character instead of a search of the layout.
struct SGlyphCells
{
	SGlyphCells()
	{
		for (int& cell : m_aCell)
			cell = -1;
		// Backwards, so that the first cell storing a byte has the last word.
		for (int i = 127; i >= 0; i--)
			m_aCell[static_cast<unsigned char>(aTranslation[i])] = i;
	}
	int m_aCell[256];
};
}

static int FindGlyph(char c)
{
	static const SGlyphCells cells;
	return cells.m_aCell[static_cast<unsigned char>(c)];
}

void DrawChar(float x, float y, char c)
{
	int cell = FindGlyph(c);
	if (cell < 0)
		return;
	float col = static_cast<float>(cell % 16), row = static_cast<float>(cell / 16);
	g_Utils.SetTexCoord(col / 16, row / 8, (col + 1) / 16, (row + 1) / 8);
	g_Utils.Quad_Draw(x, y, GLYPH_SIZE, GLYPH_SIZE);
}

void DrawText(float x, float y, char* text)
{
	g_Utils.SetDefaults();
	g_Utils.SetTexture(g_iTex_Text);
	g_Utils.SetBlend(1);
	g_Utils.Quad_Begin();
	g_Utils.SetColor(1, 1, 1, 1);
	// Characters without a cell, or off the view, still take their place in
	// the line. Once a glyph lies past the right edge, so do all after it.
	const float extent = GLYPH_SIZE / 2;
	for (; *text && x - extent <= FIELD_WIDTH; text++, x += GLYPH_SIZE)
		if (!IsOffScreen(x, y, extent))
			DrawChar(x, y, *text);
	g_Utils.Quad_End();
}

bool IsOffScreen(float x, float y, float extent)
{
	return x + extent < 0 || x - extent > FIELD_WIDTH || y + extent < 0 || y - extent > FIELD_HEIGHT;
}

void DrawWrappedQuad(float x, float y, float w, float h)
{
	g_Utils.Quad_Draw(x, y, w, h);
	g_Utils.Quad_Draw(x + FIELD_WIDTH, y, w, h);
	g_Utils.Quad_Draw(x - FIELD_WIDTH, y, w, h);
	g_Utils.Quad_Draw(x, y + FIELD_HEIGHT, w, h);
	g_Utils.Quad_Draw(x, y - FIELD_HEIGHT, w, h);
	g_Utils.Quad_Draw(x + FIELD_WIDTH, y + FIELD_HEIGHT, w, h);
	g_Utils.Quad_Draw(x + FIELD_WIDTH, y - FIELD_HEIGHT, w, h);
	g_Utils.Quad_Draw(x - FIELD_WIDTH, y + FIELD_HEIGHT, w, h);
	g_Utils.Quad_Draw(x - FIELD_WIDTH, y - FIELD_HEIGHT, w, h);
}
