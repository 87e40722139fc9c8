#include "Shapes.h"

#include <algorithm>
#include <cmath>

bool InsidePolygon(const std::vector<SPoint>& polygon, float x, float y)
{
	bool inside = false;
	for (size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++)
	{
		const SPoint& a = polygon[i];
		const SPoint& b = polygon[j];
		if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x)
			inside = !inside;
	}
	return inside;
}

float DistanceToEdges(const std::vector<SPoint>& polygon, float x, float y)
{
	float best = 1e9f;
	for (size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++)
	{
		float ex = polygon[i].x - polygon[j].x, ey = polygon[i].y - polygon[j].y;
		float px = x - polygon[j].x, py = y - polygon[j].y;
		float t = std::clamp((px * ex + py * ey) / (ex * ex + ey * ey), 0.0f, 1.0f);
		float dx = px - t * ex, dy = py - t * ey;
		best = std::min(best, std::sqrt(dx * dx + dy * dy));
	}
	return best;
}

static float Hash(int x, int y, unsigned seed)
{
	unsigned h = static_cast<unsigned>(x) * 374761393u + static_cast<unsigned>(y) * 668265263u + seed * 2246822519u;
	h = (h ^ (h >> 13)) * 1274126177u;
	h ^= h >> 16;
	return (h & 0xFFFFFF) / float(0x1000000);
}

float ValueNoise(float x, float y, unsigned seed)
{
	int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
	float fx = x - ix, fy = y - iy;
	fx = fx * fx * (3 - 2 * fx);
	fy = fy * fy * (3 - 2 * fy);
	float top = Hash(ix, iy, seed) + (Hash(ix + 1, iy, seed) - Hash(ix, iy, seed)) * fx;
	float bottom = Hash(ix, iy + 1, seed) + (Hash(ix + 1, iy + 1, seed) - Hash(ix, iy + 1, seed)) * fx;
	return top + (bottom - top) * fy;
}

float FractalNoise(float x, float y, unsigned seed, int octaves)
{
	float sum = 0, weight = 1, total = 0;
	for (int i = 0; i < octaves; i++)
	{
		sum += ValueNoise(x, y, seed + i * 101) * weight;
		total += weight;
		x *= 2.03f;
		y *= 2.03f;
		weight *= 0.5f;
	}
	return sum / total;
}

float SmoothStep(float edge0, float edge1, float v)
{
	float t = std::clamp((v - edge0) / (edge1 - edge0), 0.0f, 1.0f);
	return t * t * (3 - 2 * t);
}

float CShapeRandom::Next()
{
	m_State ^= m_State << 13;
	m_State ^= m_State >> 17;
	m_State ^= m_State << 5;
	return (m_State >> 8) / float(1 << 24);
}
