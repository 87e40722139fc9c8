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

#include <cmath>

using namespace NGameTest;

namespace
{
void LoadImage(const char* name, NVorn::CImage& image)
{
	NVorn::CFile file(name, 5);
	ASSERT_TRUE(NVorn::NTGA::Load(file, image)) << name;
	ASSERT_EQ(image.m_Format, 32);
}

// The w x h block of texels at (tx, ty) of the texture, where it lies on
// screen from (left, top): every opaque texel shows unchanged, and with
// onClear every texel shows blended over the clear colour. Returns how many
// texels were compared.
int ExpectTexelsAt(const SFrame& frame, const NVorn::CImage& image, int tx, int ty, int w, int h, int left, int top,
                   bool onClear = false)
{
	int compared = 0;
	for (int y = 0; y < h; y++)
	{
		for (int x = 0; x < w; x++)
		{
			const uint8_t* t = image.m_pData + (ty + y) * image.m_Pitch + (tx + x) * 4;
			int sx = left + x, sy = top + y;
			if ((t[3] != 255 && !onClear) || sx < 0 || sy < 0 || sx >= 640 || sy >= 480)
				continue;
			float a = t[3] / 255.0f;
			auto blend = [a](int texel, int clear) { return static_cast<int>(std::lround(texel * a + clear * (1 - a))); };
			EXPECT_LE(frame.Distance(sx, sy, blend(t[0], CLEAR_R), blend(t[1], CLEAR_G), blend(t[2], CLEAR_B)),
			          onClear ? 3 : 2)
			    << "texel " << x << "," << y;
			compared++;
		}
	}
	return compared;
}

// Brightness-weighted centre of the pixels within radius of (x, y).
NVorn::TVector2<float> Centroid(const SFrame& frame, NVorn::TVector2<float> centre, int radius)
{
	double sx = 0, sy = 0, total = 0;
	for (int y = static_cast<int>(centre.y) - radius; y <= static_cast<int>(centre.y) + radius; y++)
	{
		for (int x = static_cast<int>(centre.x) - radius; x <= static_cast<int>(centre.x) + radius; x++)
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

// A star at least 20 units inside the view with no other star within reach,
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

class Pictures : public CGameTest
{
};
}

// Must stay the first test of this program: it looks at the first frame.
TEST_F(Pictures, TheFirstFrameShowsTheShipAtTheCentreAndTheTextAtTheRightEdge)
{
	NVorn::CImage ship, font;
	LoadImage("tree.tga", ship);
	LoadImage("text.tga", font);
	RunFrame(0.25f);
	SFrame frame = ReadFront();

	// The ship's 48 x 48 texels centred on (320, 240): opaque texels show
	// exactly in the real frame, and alone on the clear colour every texel
	// blends where it should.
	EXPECT_GT(ExpectTexelsAt(frame, ship, 0, 0, 48, 48, 296, 216), 300);
	GameClear();
	g_pPlayer->Render();
	EXPECT_EQ(ExpectTexelsAt(ReadBack(), ship, 0, 0, 48, 48, 296, 216, true), 48 * 48);

	// The first glyph, 'N' in cell 78 (column 14, row 4), centred on
	// (640, 400): its left half is on screen.
	EXPECT_EQ(aText[0], 'N');
	EXPECT_GT(ExpectTexelsAt(frame, font, 14 * 16, 4 * 16, 16, 16, 632, 392), 5);
}

TEST_F(Pictures, TheTextMovesLeftAtOneHundredFiftyUnitsPerSecond)
{
	NVorn::CImage font;
	LoadImage("text.tga", font);
	// Quarter seconds add up exactly: the text stands where g_Time says.
	for (float time : {1.0f, 2.0f, 3.0f})
	{
		SCOPED_TRACE(time);
		while (g_Time < time)
			RunFrame(0.25f);
		ASSERT_EQ(g_Time, time);
		GameClear();
		GameDrawCredits();
		SFrame text = ReadBack();
		int left = static_cast<int>(640 - 150 * time) - 8;
		// 'N' and then 'V' (cell 86: column 6, row 5) 16 units further.
		EXPECT_GT(ExpectTexelsAt(text, font, 14 * 16, 4 * 16, 16, 16, left, 392), 10);
		EXPECT_GT(ExpectTexelsAt(text, font, 6 * 16, 5 * 16, 16, 16, left + 16, 392), 10);
		// Nothing of the line left of its first glyph.
		for (int y = 380; y < 420; y++)
			for (int x = std::max(0, left - 40); x < left; x++)
				ASSERT_LE(text.Distance(x, y, CLEAR_R, CLEAR_G, CLEAR_B), 1) << x << "," << y;
	}
}

TEST_F(Pictures, LargerStarsShiftFurtherAgainstTheShipsMotion)
{
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

	// Each star where it should be in both frames, shifted against the ship
	// by half the ship's motion times its size over 12; the ship went up, so
	// the stars went down.
	float shifts[2];
	for (int which = 0; which < 2; which++)
	{
		const SStar& star = g_aStars[which == 0 ? large : small];
		SCOPED_TRACE(star.m_fSize);
		NVorn::TVector2<float> p0 = StarOnScreen(star, before), p1 = StarOnScreen(star, after);
		NVorn::TVector2<float> c0 = Centroid(first, p0, 8), c1 = Centroid(second, p1, 8);
		EXPECT_NEAR(c0.x, p0.x, 0.6f);
		EXPECT_NEAR(c0.y, p0.y, 0.6f);
		EXPECT_NEAR(c1.x - c0.x, p1.x - p0.x, 0.6f);
		EXPECT_NEAR(c1.y - c0.y, p1.y - p0.y, 0.6f);
		EXPECT_GT(c1.y - c0.y, 0);
		shifts[which] = c1.y - c0.y;
	}
	EXPECT_GT(shifts[0], shifts[1] * 1.5f);
}
