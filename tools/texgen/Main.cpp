// texgen: draws the game's seven textures and writes them as TGA files into
// the folder given as its argument (the repository's assets/ folder).
//
//   texgen OUTPUT_DIR [FONT_FILE]
#include "Art.h"
#include "FontSheet.h"
#include "Raster.h"

#include "foundation/File.h"
#include "image/Image.h"
#include "image/TGA.h"

#include <cstdio>
#include <string>

static const char* kDefaultFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

static bool Save(CRaster& raster, const std::string& dir, const char* name)
{
	raster.BleedEdges();
	NVorn::CImage image;
	raster.ToImage(image);
	std::string path = dir + "/" + name;
	NVorn::CFile file(path.c_str(), 1);
	if (!file.IsReady())
	{
		std::fprintf(stderr, "texgen: cannot write %s\n", path.c_str());
		return false;
	}
	NVorn::NTGA::Write(file, image);
	return true;
}

int main(int argc, char** argv)
{
	if (argc < 2)
	{
		std::fprintf(stderr, "usage: texgen OUTPUT_DIR [FONT_FILE]\n");
		return 2;
	}
	const std::string dir = argv[1];
	const char* font = argc > 2 ? argv[2] : kDefaultFont;

	CRaster ship(48, 48), rock1(64, 64), rock2(32, 32), rock3(16, 16), shot(8, 8), star(16, 16), text(256, 128);
	PaintShip(ship);
	PaintRock(rock1, 7);
	PaintRock(rock2, 23);
	PaintRock(rock3, 41);
	PaintShot(shot);
	PaintStar(star);
	if (!PaintFontSheet(text, font))
		return 1;

	bool ok = Save(ship, dir, "tree.tga") && Save(star, dir, "star.tga") && Save(rock1, dir, "tessik_1.tga") &&
	          Save(rock2, dir, "tessik_2.tga") && Save(rock3, dir, "tessik_3.tga") && Save(shot, dir, "ball.tga") &&
	          Save(text, dir, "text.tga");
	return ok ? 0 : 1;
}
