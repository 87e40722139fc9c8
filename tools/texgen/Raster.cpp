#include "Raster.h"

#include "image/Image.h"
#include "render/Vector.h"

#include <algorithm>
#include <cmath>

CRaster::CRaster(int width, int height)
	: m_Width(width), m_Height(height), m_aPixels(width * height, SRGBA{0, 0, 0, 0})
{
}

static SRGBA Over(const SRGBA& top, const SRGBA& bottom)
{
	float a = top.a + bottom.a * (1 - top.a);
	if (a <= 0)
		return SRGBA{top.r, top.g, top.b, 0};
	float wb = bottom.a * (1 - top.a);
	return SRGBA{(top.r * top.a + bottom.r * wb) / a, (top.g * top.a + bottom.g * wb) / a,
	             (top.b * top.a + bottom.b * wb) / a, a};
}

void CRaster::Paint(const TShader& shader, int samples)
{
	const float step = 1.0f / samples;
	const int count = samples * samples;
	for (int y = 0; y < m_Height; y++)
	{
		for (int x = 0; x < m_Width; x++)
		{
			// Mean colour weighted by opacity, and mean opacity.
			float r = 0, g = 0, b = 0, a = 0;
			for (int sy = 0; sy < samples; sy++)
			{
				for (int sx = 0; sx < samples; sx++)
				{
					SRGBA c = shader(x + (sx + 0.5f) * step, y + (sy + 0.5f) * step);
					c.a = std::clamp(c.a, 0.0f, 1.0f);
					r += c.r * c.a;
					g += c.g * c.a;
					b += c.b * c.a;
					a += c.a;
				}
			}
			if (a <= 0)
				continue;
			SRGBA painted{r / a, g / a, b / a, a / count};
			At(x, y) = Over(painted, At(x, y));
		}
	}
}

void CRaster::BleedEdges()
{
	// A few passes spread colours outward by one pixel each.
	for (int pass = 0; pass < 4; pass++)
	{
		std::vector<SRGBA> next = m_aPixels;
		for (int y = 0; y < m_Height; y++)
		{
			for (int x = 0; x < m_Width; x++)
			{
				if (At(x, y).a > 0)
					continue;
				float r = 0, g = 0, b = 0, w = 0;
				for (int dy = -1; dy <= 1; dy++)
				{
					for (int dx = -1; dx <= 1; dx++)
					{
						int nx = x + dx, ny = y + dy;
						if (nx < 0 || ny < 0 || nx >= m_Width || ny >= m_Height)
							continue;
						const SRGBA& n = At(nx, ny);
						if (n.a <= 0 && !(n.r > 0 || n.g > 0 || n.b > 0))
							continue;
						r += n.r;
						g += n.g;
						b += n.b;
						w += 1;
					}
				}
				if (w > 0)
					next[y * m_Width + x] = SRGBA{r / w, g / w, b / w, 0};
			}
		}
		m_aPixels.swap(next);
	}
}

static unsigned long ToByte(float v)
{
	return static_cast<unsigned long>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f));
}

void CRaster::ToImage(NVorn::CImage& image) const
{
	image.Create(NVorn::TVector2<long>(m_Width, m_Height), 32);
	for (int y = 0; y < m_Height; y++)
	{
		for (int x = 0; x < m_Width; x++)
		{
			const SRGBA& c = At(x, y);
			unsigned long value = ToByte(c.r) << 24 | ToByte(c.g) << 16 | ToByte(c.b) << 8 | ToByte(c.a);
			image.SetPixel32(NVorn::TVector2<long>(x, y), static_cast<long>(value));
		}
	}
}
