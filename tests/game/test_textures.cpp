// The game run from a folder where textures are missing or corrupt: those
// sprites stay invisible and the game runs on.
#include "GameHarness.h"

#include "game/Globals.h"
#include "game/Player.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>

using namespace NGameTest;

namespace
{
void Write(const std::string& path, const std::string& bytes)
{
	FILE* out = std::fopen(path.c_str(), "wb");
	ASSERT_NE(out, nullptr);
	std::fwrite(bytes.data(), 1, bytes.size(), out);
	std::fclose(out);
}

std::string Read(const std::string& path)
{
	std::ifstream in(path, std::ios::binary);
	return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
}

TEST(Textures, MissingOrCorruptTexturesLeaveTheirSpritesInvisible)
{
	if (!HaveDisplay())
		GTEST_SKIP() << "no display: run under xvfb-run";
	// The ship's and the font's files are cut short, the rocks' are not
	// pictures, the shot's is a 16-bit picture and the star's is missing.
	const std::string folder = testing::TempDir() + "/vorn-bad-textures";
	std::remove((folder + "/star.tga").c_str());
	mkdir(folder.c_str(), 0755);
	Write(folder + "/text.tga", Read(std::string(NVORN_ASSET_DIR) + "/text.tga").substr(0, 5000));
	Write(folder + "/tree.tga", std::string("\0\0\2\0\0\0\0\0\0\0\0\0\x30\0\x30\0\x20\x28\xff\xff", 20));
	Write(folder + "/ball.tga", std::string("\0\0\2\0\0\0\0\0\0\0\0\0\1\0\1\0\x10\x20\1\2\3\4", 22));
	for (const char* name : {"tessik_1.tga", "tessik_2.tga", "tessik_3.tga"})
		Write(folder + "/" + name, "not a picture");

	ASSERT_TRUE(StartGame(folder.c_str()));
	for (long texture : {g_iTex_Ship, g_iTex_Star, g_iTex_Roid[0], g_iTex_Roid[1], g_iTex_Roid[2], g_iTex_Bullet, g_iTex_Text})
		EXPECT_EQ(texture, -1);

	// Play on for a while, firing: nothing at all is drawn.
	for (int i = 0; i < 120; i++)
	{
		PushKey(SDLK_SPACE, i % 10 < 5);
		RunFrame();
	}
	SFrame frame = ReadFront();
	for (int y = 0; y < 480; y++)
		for (int x = 0; x < 640; x++)
			ASSERT_LE(frame.Distance(x, y, CLEAR_R, CLEAR_G, CLEAR_B), 1) << x << "," << y;
	EXPECT_GT(g_lObjects.m_Length, 1);
}
