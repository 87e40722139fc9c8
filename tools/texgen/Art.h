// The game's sprites, painted procedurally into rasters. Each painter fills
// the whole raster it is given and expects the size the game draws at: the
// ship 48 x 48 with its nose at the top, rocks square (64, 32 or 16), the
// shot 8 x 8 flying toward the top, the star 16 x 16.
#pragma once

class CRaster;

void PaintShip(CRaster& raster);
void PaintRock(CRaster& raster, unsigned seed);
void PaintShot(CRaster& raster);
void PaintStar(CRaster& raster);
