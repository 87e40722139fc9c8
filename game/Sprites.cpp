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

// Cell of the font texture that shows c: the first that stores it, or -1.
static int FindGlyph(char c)
{
	for (int i = 0; i < 128; i++)
		if (aTranslation[i] == c)
			return i;
	return -1;
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
	// Characters without a cell still take their place in the line.
	for (; *text; text++, x += GLYPH_SIZE)
		DrawChar(x, y, *text);
	g_Utils.Quad_End();
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
