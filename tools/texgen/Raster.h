// CRaster: a floating-point RGBA picture that the texture generator paints
// into, one supersampled shape function at a time, before it is quantised
// into an engine image. Colours are kept straight (not premultiplied): each
// pixel stores the coverage-weighted mean colour of what was painted on it,
// so that edge texels carry the colour of the shape instead of black.
#pragma once

#include <functional>
#include <vector>

namespace NVorn { class CImage; }

struct SRGBA
{
	float r, g, b, a;
};

// Colour and opacity of a shape at one point, in pixel coordinates with
// (0, 0) at the top-left corner of the picture and y downward.
typedef std::function<SRGBA(float x, float y)> TShader;

class CRaster
{
public:
	CRaster(int width, int height);

	int Width() const { return m_Width; }
	int Height() const { return m_Height; }
	const SRGBA& At(int x, int y) const { return m_aPixels[y * m_Width + x]; }
	SRGBA& At(int x, int y) { return m_aPixels[y * m_Width + x]; }

	// Composites the shader over the picture ("over" blending), sampling it
	// on an n x n grid inside every pixel.
	void Paint(const TShader& shader, int samples = 4);

	// Gives fully transparent pixels the colour of their nearest painted
	// neighbours, so that bilinear filtering never pulls in a dark fringe.
	void BleedEdges();

	// Quantises the picture into a 32-bit image (red, green, blue, alpha).
	void ToImage(NVorn::CImage& image) const;

private:
	int m_Width;
	int m_Height;
	std::vector<SRGBA> m_aPixels;
};
