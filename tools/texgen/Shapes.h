// Small geometry and noise helpers for the texture generator's shaders.
// Everything works in pixel coordinates of the picture being painted.
#pragma once

#include <vector>

struct SPoint
{
	float x, y;
};

// True when (x, y) lies inside the closed polygon (even-odd rule).
bool InsidePolygon(const std::vector<SPoint>& polygon, float x, float y);

// Distance from (x, y) to the nearest edge of the closed polygon.
float DistanceToEdges(const std::vector<SPoint>& polygon, float x, float y);

// Smooth value noise in [0, 1] with features about one unit apart; the
// same seed and point always give the same value.
float ValueNoise(float x, float y, unsigned seed);

// Sum of octaves of ValueNoise, also in [0, 1].
float FractalNoise(float x, float y, unsigned seed, int octaves);

// Hermite step from 0 at edge0 to 1 at edge1.
float SmoothStep(float edge0, float edge1, float v);

// Deterministic pseudo-random numbers for laying out shapes.
class CShapeRandom
{
public:
	explicit CShapeRandom(unsigned seed) : m_State(seed * 2654435761u + 1) {}
	float Next(); // in [0, 1)
	float Range(float low, float high) { return low + (high - low) * Next(); }

private:
	unsigned m_State;
};
