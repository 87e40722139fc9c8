// The sprite and text helpers and object drawing on the recording device (no
// display needed), and the font texture checked against the font layout.
#include "game/Globals.h"
#include "game/Player.h"
#include "game/Sprites.h"
#include "core/Core.h"
#include "foundation/File.h"
#include "image/Image.h"
#include "image/TGA.h"
#include "utils2d/2DUtils.h"

#include "DrawCapture.h"
#include "RecordingDevice.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

using namespace NVorn;
using NTest::SCapturedDraw;

namespace
{
typedef NTest::TDrawCapture<NTest::CRecordingDevice> CCaptureDevice;

// One core and one capturing device for the whole program; the batcher is
// initialised once, as in the game.
CCaptureDevice& Device()
{
	static CCaptureDevice* device = nullptr;
	if (!device)
	{
		new NCore::CCore;
		device = new CCaptureDevice;
		g_pDevice = device;
		g_Utils.Init(device, 8192);
		g_iTex_Text = device->CreateTexture(256, 128, 1);
	}
	device->m_lDraws.clear();
	return *device;
}

// Centre, width and texture rectangle of quad q of a draw (six vertices a
// quad, corners 0, 1, 2, 1, 3, 2).
struct SQuad
{
	float x, y, w, u0, v0, u1, v1;
};

SQuad Quad(const SCapturedDraw& draw, int q)
{
	const NTest::SCapturedVertex& a = draw.m_lVertices[q * 6];       // corner 0
	const NTest::SCapturedVertex& d = draw.m_lVertices[q * 6 + 4];   // corner 3
	return SQuad{(a.x + d.x) / 2, (a.y + d.y) / 2, draw.m_lVertices[q * 6 + 1].x - a.x, a.u, a.v, d.u, d.v};
}

// The quad shows font cell `cell` (16 columns, 8 rows) at x.
void ExpectGlyph(const SQuad& quad, int cell, float x)
{
	EXPECT_FLOAT_EQ(quad.x, x);
	EXPECT_FLOAT_EQ(quad.u0, (cell % 16) / 16.0f);
	EXPECT_FLOAT_EQ(quad.v0, (cell / 16) / 8.0f);
	EXPECT_FLOAT_EQ(quad.u1, (cell % 16 + 1) / 16.0f);
	EXPECT_FLOAT_EQ(quad.v1, (cell / 16 + 1) / 8.0f);
}
}

TEST(Drawing, TextIsOneBatchOfGlyphsSixteenUnitsApart)
{
	CCaptureDevice& device = Device();
	// '~' has no cell but takes its place; quotes come from their first
	// cells, 0xA4 from cell 0; '`', DEL, control characters and other high
	// bytes draw nothing.
	char line[] = "A~B", odd[] = "`\x7f\x01\xff'\"\xa4", empty[] = "";
	DrawText(100, 400, line);
	DrawText(0, 50, odd);
	DrawText(0, 0, empty);
	ASSERT_EQ(device.m_lDraws.size(), 3u);
	const SCapturedDraw& draw = device.m_lDraws[0];
	ASSERT_EQ(draw.m_Count, 4);
	EXPECT_EQ(draw.m_State.m_aTexture[0], g_iTex_Text);
	EXPECT_TRUE(draw.m_State.m_aFlags[N3D::FLAG_BLEND]);
	EXPECT_FLOAT_EQ(draw.m_lVertices[0].x, 92);
	EXPECT_FLOAT_EQ(draw.m_lVertices[4].y, 408);
	ExpectGlyph(Quad(draw, 0), 65, 100);
	EXPECT_FLOAT_EQ(Quad(draw, 0).y, 400);
	ExpectGlyph(Quad(draw, 1), 66, 132);

	ASSERT_EQ(device.m_lDraws[1].m_Count, 6);
	ExpectGlyph(Quad(device.m_lDraws[1], 0), 39, 64);
	ExpectGlyph(Quad(device.m_lDraws[1], 1), 34, 80);
	ExpectGlyph(Quad(device.m_lDraws[1], 2), 0, 96);
	EXPECT_EQ(device.m_lDraws[2].m_Count, 0);
}

TEST(Drawing, AWrappedQuadIsDrawnAtItsPlaceAndOneFieldAwayInEveryDirection)
{
	CCaptureDevice& device = Device();
	g_Utils.SetDefaults();
	g_Utils.Quad_Begin();
	DrawWrappedQuad(10, 10, 32, 32);
	g_Utils.Quad_End();
	ASSERT_EQ(device.m_lDraws.size(), 1u);
	ASSERT_EQ(device.m_lDraws[0].m_Count, 18);
	const float centres[9][2] = {{10, 10}, {650, 10}, {-630, 10}, {10, 490}, {10, -470},
	                             {650, 490}, {650, -470}, {-630, 490}, {-630, -470}};
	for (int q = 0; q < 9; q++)
	{
		SQuad quad = Quad(device.m_lDraws[0], q);
		EXPECT_FLOAT_EQ(quad.x, centres[q][0]) << q;
		EXPECT_FLOAT_EQ(quad.y, centres[q][1]) << q;
		EXPECT_FLOAT_EQ(quad.w, 32) << q;
	}
}

TEST(Drawing, ObjectsDrawTheirTextureAtItsOwnSizeTurnedByTheirAngle)
{
	CCaptureDevice& device = Device();
	long ship = device.CreateTexture(48, 40, 1);
	CPlayer player;
	player.m_iTexture = ship;
	player.m_fAngle = 1.5707964f;
	player.Render();
	ASSERT_EQ(device.m_lDraws.size(), 1u);
	const SCapturedDraw& draw = device.m_lDraws[0];
	EXPECT_EQ(draw.m_Count, 18);
	EXPECT_EQ(draw.m_State.m_aTexture[0], ship);
	// A quarter turn clockwise: the top-left corner goes to the top right.
	EXPECT_NEAR(draw.m_lVertices[0].x, 340, 1e-3);
	EXPECT_NEAR(draw.m_lVertices[0].y, 216, 1e-3);
	EXPECT_NEAR(Quad(draw, 0).x, 320, 1e-3);
}

TEST(Drawing, TheFontTextureHoldsAGlyphInEveryCellTheLayoutAndTheCreditsUse)
{
	CImage font;
	CFile file((std::string(NVORN_ASSET_DIR) + "/text.tga").c_str(), 5);
	ASSERT_TRUE(NTGA::Load(file, font));
	ASSERT_EQ(font.m_Width, 256);
	ASSERT_EQ(font.m_Height, 128);
	ASSERT_EQ(font.m_Format, 32);
	for (int cell = 0; cell < 128; cell++)
	{
		int ink = 0;
		for (int y = 0; y < 16; y++)
			for (int x = 0; x < 16; x++)
				ink += font.m_pData[(cell / 16 * 16 + y) * font.m_Pitch + (cell % 16 * 16 + x) * 4 + 3] > 128;
		if (aTranslation[cell] == ' ' || aTranslation[cell] == 0)
			EXPECT_EQ(ink, 0) << "cell " << cell;
		else
			EXPECT_GE(ink, 2) << "cell " << cell << " '" << aTranslation[cell] << "'";
	}
	EXPECT_EQ(std::strlen(aText), 218u);
	for (const char* c = aText; *c; c++)
		EXPECT_NE(std::find(aTranslation, aTranslation + 128, *c), aTranslation + 128) << "no cell for '" << *c << "'";
}
