// What the real game shows, read back from the framebuffer: the first
// frame's ship, background and text, the text's scroll, and the parallax of
// the star field.
#include "GameHarness.h"

#include "game/Globals.h"
#include "game/Player.h"
#include "game/Vorn.h"
#include "foundation/File.h"
#include "image/Image.h"
#include "image/TGA.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

using namespace NGameTest;

namespace
{
class CGameEnvironment : public ::testing::Environment
{
public:
	void TearDown() override { StopGame(); }
};
::testing::Environment* const g_pEnvironment = ::testing::AddGlobalTestEnvironment(new CGameEnvironment);

// The clear colour (0.05, 0.05, 0.1) in bytes.
const int CLEAR_R = 13, CLEAR_G = 13, CLEAR_B = 26;

void LoadImage(const char* name, NVorn::CImage& image)
{
	NVorn::CFile file(name, 5);
	ASSERT_TRUE(NVorn::NTGA::Load(file, image)) << name;
	ASSERT_EQ(image.m_Format, 32);
}

const uint8_t* Texel(const NVorn::CImage& image, int x, int y)
{
	return image.m_pData + y * image.m_Pitch + x * 4;
}

// Every fully opaque texel of the w x h block at (tx, ty) of the texture
// must show unchanged at screen (left + x, top + y), where it lies on screen.
// Returns how many texels were compared.
int ExpectOpaqueTexelsAt(const SFrame& frame, const NVorn::CImage& image, int tx, int ty, int w, int h, int left, int top)
{
	int compared = 0;
	for (int y = 0; y < h; y++)
	{
		for (int x = 0; x < w; x++)
		{
			const uint8_t* t = Texel(image, tx + x, ty + y);
			int sx = left + x, sy = top + y;
			if (t[3] != 255 || sx < 0 || sy < 0 || sx >= 640 || sy >= 480)
				continue;
			EXPECT_LE(frame.Distance(sx, sy, t[0], t[1], t[2]), 2) << "texel " << x << "," << y;
			compared++;
		}
	}
	return compared;
}

// Brightness-weighted centre of the pixels within radius of (x, y).
NVorn::TVector2<float> Centroid(const SFrame& frame, float cx, float cy, int radius)
{
	double sx = 0, sy = 0, total = 0;
	for (int y = static_cast<int>(cy) - radius; y <= static_cast<int>(cy) + radius; y++)
	{
		for (int x = static_cast<int>(cx) - radius; x <= static_cast<int>(cx) + radius; x++)
		{
			const uint8_t* p = frame.At(x, y);
			double w = std::max(0, p[0] + p[1] + p[2] - (CLEAR_R + CLEAR_G + CLEAR_B));
			sx += w * (x + 0.5);
			sy += w * (y + 0.5);
			total += w;
		}
	}
	return NVorn::TVector2<float>(static_cast<float>(sx / total), static_cast<float>(sy / total));
}

NVorn::TVector2<float> StarOnScreen(const SStar& star, NVorn::TVector2<float> ship)
{
	float k = star.m_fSize / 12;
	return NVorn::TVector2<float>(star.m_Pos.x - ship.x * 0.5f * k, star.m_Pos.y - ship.y * 0.5f * k);
}

// A star at least margin inside the view with no other star within reach,
// for both ship positions.
bool Isolated(int index, NVorn::TVector2<float> a, NVorn::TVector2<float> b)
{
	for (NVorn::TVector2<float> ship : {a, b})
	{
		NVorn::TVector2<float> p = StarOnScreen(g_aStars[index], ship);
		if (p.x < 20 || p.y < 20 || p.x > 620 || p.y > 460)
			return false;
		for (int j = 0; j < STAR_COUNT; j++)
		{
			NVorn::TVector2<float> q = StarOnScreen(g_aStars[j], ship);
			if (j != index && std::abs(q.x - p.x) < 20 && std::abs(q.y - p.y) < 20)
				return false;
		}
	}
	return true;
}

SFrame DrawStarsOnly()
{
	GameClear();
	GameDrawStars();
	return ReadBack();
}
}

// Must stay the first test of this program: it looks at the first frame.
TEST(Pictures, TheFirstFrameShowsTheShipAtTheCentreOverTheClearColourAndTheTextAtTheRightEdge)
{
	if (!HaveDisplay())
		GTEST_SKIP() << "no display: run under xvfb-run";
	ASSERT_TRUE(StartGame());
	NVorn::CImage ship, font;
	LoadImage("tree.tga", ship);
	LoadImage("text.tga", font);

	RunFrame(0.25f);
	SFrame frame = ReadFront();

	// Where nothing is drawn the clear colour shows: it is the colour of
	// most of the frame.
	std::map<uint32_t, int> colours;
	for (int y = 0; y < 480; y++)
		for (int x = 0; x < 640; x++)
			colours[frame.At(x, y)[0] << 16 | frame.At(x, y)[1] << 8 | frame.At(x, y)[2]]++;
	auto most = std::max_element(colours.begin(), colours.end(),
	                             [](const auto& a, const auto& b) { return a.second < b.second; });
	EXPECT_NEAR(most->first >> 16, CLEAR_R, 1);
	EXPECT_NEAR(most->first >> 8 & 0xFF, CLEAR_G, 1);
	EXPECT_NEAR(most->first & 0xFF, CLEAR_B, 1);
	EXPECT_GT(most->second, 640 * 480 / 2);

	// The ship's 48 x 48 texels centred on (320, 240): texel (0, 0) at
	// pixel (296, 216). Opaque texels show exactly in the real frame...
	EXPECT_GT(ExpectOpaqueTexelsAt(frame, ship, 0, 0, 48, 48, 296, 216), 300);
	// ...and alone on the clear colour every texel blends where it should.
	GameClear();
	g_pPlayer->Render();
	SFrame alone = ReadBack();
	for (int y = 0; y < 48; y++)
	{
		for (int x = 0; x < 48; x++)
		{
			const uint8_t* t = Texel(ship, x, y);
			float a = t[3] / 255.0f;
			EXPECT_LE(alone.Distance(296 + x, 216 + y, static_cast<int>(std::lround(t[0] * a + CLEAR_R * (1 - a))),
			                         static_cast<int>(std::lround(t[1] * a + CLEAR_G * (1 - a))),
			                         static_cast<int>(std::lround(t[2] * a + CLEAR_B * (1 - a)))),
			          3)
			    << "texel " << x << "," << y;
		}
	}

	// The first glyph, 'N' in cell 78 (column 14, row 4), centred on
	// (640, 400): its left half is on screen.
	EXPECT_EQ(aText[0], 'N');
	EXPECT_GT(ExpectOpaqueTexelsAt(frame, font, 14 * 16, 4 * 16, 16, 16, 632, 392), 5);
}

TEST(Pictures, TheTextMovesLeftAtOneHundredFiftyUnitsPerSecond)
{
	if (!HaveDisplay())
		GTEST_SKIP() << "no display: run under xvfb-run";
	ASSERT_TRUE(StartGame());
	NVorn::CImage font;
	LoadImage("text.tga", font);
	// Quarter seconds add up exactly: the text stands where g_Time says.
	while (g_Time < 1.0f)
		RunFrame(0.25f);
	ASSERT_EQ(g_Time, 1.0f);
	for (float time : {1.0f, 2.0f, 3.0f})
	{
		SCOPED_TRACE(time);
		while (g_Time < time)
			RunFrame(0.25f);
		GameClear();
		GameDrawCredits();
		SFrame text = ReadBack();
		int left = static_cast<int>(640 - 150 * time) - 8;
		// 'N' and then 'V' (cell 86: column 6, row 5) 16 units further.
		EXPECT_GT(ExpectOpaqueTexelsAt(text, font, 14 * 16, 4 * 16, 16, 16, left, 392), 10);
		EXPECT_GT(ExpectOpaqueTexelsAt(text, font, 6 * 16, 5 * 16, 16, 16, left + 16, 392), 10);
		// Nothing of the line left of its first glyph.
		for (int y = 380; y < 420; y++)
			for (int x = std::max(0, left - 40); x < left; x++)
				ASSERT_LE(text.Distance(x, y, CLEAR_R, CLEAR_G, CLEAR_B), 1) << x << "," << y;
	}
}

TEST(Pictures, LargerStarsShiftFurtherAgainstTheShipsMotion)
{
	if (!HaveDisplay())
		GTEST_SKIP() << "no display: run under xvfb-run";
	ASSERT_TRUE(StartGame());
	RunFrame();
	ClearWorldExceptShip();
	RunFrame();
	NVorn::TVector2<float> before = g_pPlayer->m_Pos;
	SFrame first = DrawStarsOnly();

	// Thrust up, then right, with the keys.
	PushKey(SDLK_UP, true);
	for (int i = 0; i < 50; i++)
		RunFrame();
	PushKey(SDLK_RIGHT, true);
	for (int i = 0; i < 20; i++)
		RunFrame();
	PushKey(SDLK_UP, false);
	PushKey(SDLK_RIGHT, false);
	RunFrame();
	NVorn::TVector2<float> after = g_pPlayer->m_Pos;
	ASSERT_LT(after.y, before.y - 20);
	ASSERT_GT(after.x, before.x + 1);
	SFrame second = DrawStarsOnly();

	int large = -1, small = -1;
	for (int i = 0; i < STAR_COUNT; i++)
	{
		if (!Isolated(i, before, after))
			continue;
		if (large < 0 || g_aStars[i].m_fSize > g_aStars[large].m_fSize)
			large = i;
		if (small < 0 || g_aStars[i].m_fSize < g_aStars[small].m_fSize)
			small = i;
	}
	ASSERT_GE(large, 0);
	ASSERT_GT(g_aStars[large].m_fSize, g_aStars[small].m_fSize + 4);

	float shifts[2];
	for (int which = 0; which < 2; which++)
	{
		const SStar& star = g_aStars[which == 0 ? large : small];
		SCOPED_TRACE(star.m_fSize);
		NVorn::TVector2<float> p0 = StarOnScreen(star, before), p1 = StarOnScreen(star, after);
		NVorn::TVector2<float> c0 = Centroid(first, p0.x, p0.y, 8), c1 = Centroid(second, p1.x, p1.y, 8);
		EXPECT_NEAR(c0.x, p0.x, 0.6f);
		EXPECT_NEAR(c0.y, p0.y, 0.6f);
		float k = star.m_fSize / 12;
		EXPECT_NEAR(c1.x - c0.x, -(after.x - before.x) * 0.5f * k, 0.6f);
		EXPECT_NEAR(c1.y - c0.y, -(after.y - before.y) * 0.5f * k, 0.6f);
		// The ship went up: the stars went down.
		EXPECT_GT(c1.y - c0.y, 0);
		shifts[which] = c1.y - c0.y;
	}
	EXPECT_GT(shifts[0], shifts[1] * 1.5f);
}
