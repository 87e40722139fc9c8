// The sprite and text helpers, object drawing and texture loading on the
// recording device (no display needed), and the font texture checked
// against the font layout.
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

#include <cstdio>
#include <string>

using namespace NVorn;
using NTest::SCapturedDraw;
using NTest::SCapturedVertex;

namespace
{
typedef NTest::TDrawCapture<NTest::CRecordingDevice> CCaptureDevice;

std::string AssetPath(const char* name)
{
	return std::string(NVORN_ASSET_DIR) + "/" + name;
}

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

// Centre and texture rectangle of quad q of a draw (six vertices a quad,
// corners 0, 1, 2, 1, 3, 2).
struct SQuad
{
	float x, y, u0, v0, u1, v1;
};

SQuad Quad(const SCapturedDraw& draw, int q)
{
	const SCapturedVertex& a = draw.m_lVertices[q * 6];       // corner 0
	const SCapturedVertex& d = draw.m_lVertices[q * 6 + 4];   // corner 3
	return SQuad{(a.x + d.x) / 2, (a.y + d.y) / 2, a.u, a.v, d.u, d.v};
}

void ExpectCell(const SQuad& quad, int cell)
{
	EXPECT_FLOAT_EQ(quad.u0, (cell % 16) / 16.0f);
	EXPECT_FLOAT_EQ(quad.v0, (cell / 16) / 8.0f);
	EXPECT_FLOAT_EQ(quad.u1, (cell % 16 + 1) / 16.0f);
	EXPECT_FLOAT_EQ(quad.v1, (cell / 16 + 1) / 8.0f);
}
}

TEST(Drawing, TextIsOneBatchOfGlyphsSixteenUnitsApart)
{
	CCaptureDevice& device = Device();
	char line[] = "A~B";
	DrawText(100, 400, line);
	ASSERT_EQ(device.m_lDraws.size(), 1u);
	const SCapturedDraw& draw = device.m_lDraws[0];
	EXPECT_EQ(draw.m_Count, 4);   // two quads: '~' has no cell but takes its place
	EXPECT_EQ(draw.m_State.m_aTexture[0], g_iTex_Text);
	EXPECT_TRUE(draw.m_State.m_aFlags[N3D::FLAG_BLEND]);
	SQuad a = Quad(draw, 0), b = Quad(draw, 1);
	EXPECT_FLOAT_EQ(a.x, 100);
	EXPECT_FLOAT_EQ(a.y, 400);
	EXPECT_FLOAT_EQ(draw.m_lVertices[0].x, 92);
	EXPECT_FLOAT_EQ(draw.m_lVertices[4].y, 408);
	ExpectCell(a, 65);
	EXPECT_FLOAT_EQ(a.u0, 0.0625f);
	EXPECT_FLOAT_EQ(a.v0, 0.5f);
	EXPECT_FLOAT_EQ(b.x, 132);
	ExpectCell(b, 66);

	// Quotes come from their first cells, 0xA4 from cell 0; '`', DEL,
	// control characters and other high bytes draw nothing.
	device.m_lDraws.clear();
	char odd[] = "`\x7f\x01\xff'\"\xa4";
	DrawText(0, 50, odd);
	ASSERT_EQ(device.m_lDraws.size(), 1u);
	ASSERT_EQ(device.m_lDraws[0].m_Count, 6);
	ExpectCell(Quad(device.m_lDraws[0], 0), 39);
	EXPECT_FLOAT_EQ(Quad(device.m_lDraws[0], 0).x, 64);
	ExpectCell(Quad(device.m_lDraws[0], 1), 34);
	ExpectCell(Quad(device.m_lDraws[0], 2), 0);
	EXPECT_FLOAT_EQ(Quad(device.m_lDraws[0], 2).x, 96);

	// An empty line is an empty batch.
	device.m_lDraws.clear();
	char empty[] = "";
	DrawText(0, 0, empty);
	ASSERT_EQ(device.m_lDraws.size(), 1u);
	EXPECT_EQ(device.m_lDraws[0].m_Count, 0);

	// The game's own line: 218 characters, every one of them with a cell.
	ASSERT_EQ(std::string(aText).size(), 218u);
	for (char c : std::string(aText))
		EXPECT_TRUE(c >= 32 && c <= 125 && c != '`') << c;
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
		EXPECT_FLOAT_EQ(device.m_lDraws[0].m_lVertices[q * 6 + 1].x - device.m_lDraws[0].m_lVertices[q * 6].x, 32);
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

	// A hit ship is not drawn; an object without a texture draws nothing visible.
	device.m_lDraws.clear();
	player.m_Dead = 1;
	player.Render();
	EXPECT_TRUE(device.m_lDraws.empty());
	player.m_Dead = 0;
	player.m_iTexture = -1;
	player.Render();
	ASSERT_EQ(device.m_lDraws.size(), 1u);
	EXPECT_FLOAT_EQ(device.m_lDraws[0].m_lVertices[1].x - device.m_lDraws[0].m_lVertices[0].x, 0);
}

TEST(Drawing, TexturesLoadFromTgaFilesAndBadFilesGiveNoTexture)
{
	CCaptureDevice& device = Device();
	long handle = 0;
	LoadTexture(handle, AssetPath("tree.tga").c_str());
	ASSERT_GE(handle, 0);
	N3D::STextureInfo info = device.GetTextureInfo(handle);
	EXPECT_EQ(info.width, 48);
	EXPECT_EQ(info.height, 48);
	EXPECT_EQ(info.format, 1);

	LoadTexture(handle, "no-such-file.tga");
	EXPECT_EQ(handle, -1);

	// A header promising 64 x 64 pixels with none behind it, a 16-bit
	// picture, and a text file.
	const std::string bad = testing::TempDir() + "/bad.tga";
	const unsigned char truncated[18] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 64, 0, 64, 0, 32, 0x28};
	const unsigned char sixteen[22] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1, 0, 16, 0x20, 1, 2, 3, 4};
	const char text[] = "this is not a picture at all, just some words";
	struct { const void* data; size_t size; } files[] = {
		{truncated, sizeof(truncated)}, {sixteen, sizeof(sixteen)}, {text, sizeof(text)}};
	for (const auto& file : files)
	{
		FILE* out = std::fopen(bad.c_str(), "wb");
		ASSERT_NE(out, nullptr);
		std::fwrite(file.data, 1, file.size, out);
		std::fclose(out);
		handle = 0;
		device.m_lCalls.clear();
		LoadTexture(handle, bad.c_str());
		EXPECT_EQ(handle, -1);
		for (const std::string& call : device.m_lCalls)
			EXPECT_EQ(call.find("CreateTexture"), std::string::npos);
	}
}

TEST(Drawing, TheFontTextureHoldsAGlyphInEveryCellTheLayoutUses)
{
	CImage font;
	CFile file(AssetPath("text.tga").c_str(), 5);
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
		bool blank = aTranslation[cell] == ' ' || aTranslation[cell] == 0;
		if (blank)
			EXPECT_EQ(ink, 0) << "cell " << cell;
		else
			EXPECT_GE(ink, 2) << "cell " << cell << " '" << aTranslation[cell] << "'";
	}
}
