// Stars and glyphs that lie wholly off the view are left out of their
// batches. Checked on the recording device against the same field and line
// drawn in full: whatever could show a pixel is still there, unchanged and
// in order, and only quads wholly outside the view are gone.
#include "game/Globals.h"
#include "game/Player.h"
#include "game/Sprites.h"
#include "game/Vorn.h"
#include "core/Core.h"
#include "utils2d/2DUtils.h"

#include "DrawCapture.h"
#include "RecordingDevice.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace NVorn;
using NTest::SCapturedDraw;
using NTest::SCapturedVertex;

namespace
{
typedef NTest::TDrawCapture<NTest::CRecordingDevice> CCaptureDevice;

CCaptureDevice& Device()
{
	static CCaptureDevice* device = nullptr;
	if (!device)
	{
		new NCore::CCore;
		device = new CCaptureDevice;
		g_pDevice = device;
		g_Utils.Init(device, 8192);
		g_iTex_Star = device->CreateTexture(16, 16, 1);
		g_iTex_Text = device->CreateTexture(256, 128, 1);
	}
	device->m_lDraws.clear();
	return *device;
}

typedef std::vector<SCapturedVertex> CQuad;   // six vertices

std::vector<CQuad> Quads(const SCapturedDraw& draw)
{
	std::vector<CQuad> quads;
	for (size_t v = 0; v + 6 <= draw.m_lVertices.size(); v += 6)
		quads.emplace_back(draw.m_lVertices.begin() + v, draw.m_lVertices.begin() + v + 6);
	return quads;
}

// True when the bounding box of the quad's vertices meets the 640 x 480 view.
bool MeetsView(const CQuad& quad)
{
	float left = quad[0].x, right = quad[0].x, top = quad[0].y, bottom = quad[0].y;
	for (const SCapturedVertex& v : quad)
	{
		left = std::min(left, v.x);
		right = std::max(right, v.x);
		top = std::min(top, v.y);
		bottom = std::max(bottom, v.y);
	}
	return right >= 0 && left <= 640 && bottom >= 0 && top <= 480;
}

bool SameQuad(const CQuad& a, const CQuad& b)
{
	for (int i = 0; i < 6; i++)
		if (a[i].x != b[i].x || a[i].y != b[i].y || a[i].u != b[i].u || a[i].v != b[i].v)
			return false;
	return true;
}

// The kept quads are the full list's quads in order, with gaps only where a
// quad lies wholly outside the view.
void ExpectOnlyOffScreenQuadsLeftOut(const std::vector<CQuad>& full, const std::vector<CQuad>& kept)
{
	size_t k = 0;
	for (size_t f = 0; f < full.size(); f++)
	{
		if (k < kept.size() && SameQuad(full[f], kept[k]))
		{
			k++;
			continue;
		}
		EXPECT_FALSE(MeetsView(full[f])) << "quad " << f << " could show and was left out";
	}
	EXPECT_EQ(k, kept.size()) << "the kept quads are not the full list's, in order";
}

// The star field as the game draws it, but with every star in the batch.
std::vector<CQuad> FullStarField(CCaptureDevice& device)
{
	device.m_lDraws.clear();
	g_Utils.SetDefaults();
	g_Utils.SetTexture(g_iTex_Star);
	g_Utils.SetBlend(1);
	g_Utils.Quad_Begin();
	float px = g_pPlayer->m_Pos.x, py = g_pPlayer->m_Pos.y;
	for (const SStar& star : g_aStars)
	{
		float k = star.m_fSize / 12;
		g_Utils.Quad_SetRotation(star.m_fAngle);
		g_Utils.Quad_Draw(star.m_Pos.x - px * 0.5f * k, star.m_Pos.y - py * 0.5f * k, star.m_fSize, star.m_fSize);
	}
	g_Utils.Quad_End();
	return Quads(device.m_lDraws.at(0));
}
}

TEST(Culling, TheStarFieldKeepsEveryStarThatCouldShow)
{
	CCaptureDevice& device = Device();
	CPlayer player;
	g_pPlayer = &player;
	// The ship at the centre, and in the corners, where the field shifts most.
	const float places[][2] = {{320, 240}, {0, 0}, {640, 480}, {640, 0}, {0, 480}};
	for (const auto& place : places)
	{
		player.m_Pos.x = place[0];
		player.m_Pos.y = place[1];
		std::vector<CQuad> full = FullStarField(device);
		ASSERT_EQ(full.size(), static_cast<size_t>(STAR_COUNT));

		device.m_lDraws.clear();
		GameDrawStars();
		ASSERT_EQ(device.m_lDraws.size(), 1u);
		const SCapturedDraw& draw = device.m_lDraws[0];
		EXPECT_EQ(draw.m_State.m_aTexture[0], g_iTex_Star);
		EXPECT_TRUE(draw.m_State.m_aFlags[N3D::FLAG_BLEND]);
		std::vector<CQuad> kept = Quads(draw);
		EXPECT_EQ(static_cast<long>(kept.size()) * 2, draw.m_Count);
		ExpectOnlyOffScreenQuadsLeftOut(full, kept);
		// Most of the 900 x 900 field lies off the view.
		EXPECT_LT(kept.size(), full.size() / 2) << place[0] << ", " << place[1];
		EXPECT_GT(kept.size(), 0u);
	}
	g_pPlayer = nullptr;
}

TEST(Culling, ALineOfTextKeepsEveryGlyphThatCouldShowAndItsSpacing)
{
	CCaptureDevice& device = Device();
	char line[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
	// Scrolled in from the right, half across, scrolled out to the left, and
	// below and above the view.
	const float places[][2] = {{640, 400}, {630, 400}, {300, 400}, {-100, 400}, {-400, 400},
	                           {-408, 400}, {100, 488}, {100, 487}, {100, -8}, {100, -9}};
	for (const auto& place : places)
	{
		// The line drawn in full, glyph by glyph.
		device.m_lDraws.clear();
		g_Utils.SetDefaults();
		g_Utils.SetTexture(g_iTex_Text);
		g_Utils.SetBlend(1);
		g_Utils.Quad_Begin();
		float x = place[0];
		for (const char* c = line; *c; c++, x += 16)
			DrawChar(x, place[1], *c);
		g_Utils.Quad_End();
		std::vector<CQuad> full = Quads(device.m_lDraws.at(0));
		ASSERT_EQ(full.size(), 26u);

		device.m_lDraws.clear();
		DrawText(place[0], place[1], line);
		ASSERT_EQ(device.m_lDraws.size(), 1u);
		std::vector<CQuad> kept = Quads(device.m_lDraws[0]);
		ExpectOnlyOffScreenQuadsLeftOut(full, kept);
		// Only glyphs past an edge go: each that meets the view stays.
		size_t meeting = static_cast<size_t>(std::count_if(full.begin(), full.end(), MeetsView));
		EXPECT_EQ(kept.size(), meeting) << place[0] << ", " << place[1];
	}

	// A glyph that reaches one pixel into the view stays; 'G' is the first
	// of the line to reach x >= 0 when it starts at -100.
	device.m_lDraws.clear();
	DrawText(-100, 400, line);
	std::vector<CQuad> kept = Quads(device.m_lDraws.at(0));
	ASSERT_FALSE(kept.empty());
	EXPECT_FLOAT_EQ((kept[0][0].x + kept[0][4].x) / 2, -4);
	EXPECT_FLOAT_EQ(kept[0][0].u, ('G' % 16) / 16.0f);
}
