#include "Art.h"

#include "Raster.h"
#include "Shapes.h"

#include <algorithm>
#include <cmath>

static const float kPi = 3.14159265f;

static SRGBA Mix(const SRGBA& a, const SRGBA& b, float t)
{
	return SRGBA{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

static SRGBA Scale(const SRGBA& c, float k)
{
	return SRGBA{c.r * k, c.g * k, c.b * k, c.a};
}

// Ship ------------------------------------------------------------------

// Right half of the hull from the nose to the tail, in a 48 x 48 picture.
static const SPoint aHullRight[] = {
	{24, 2}, {27.5f, 13}, {30, 22}, {43, 35}, {44, 42}, {31, 37.5f}, {28, 41}, {24, 38.5f},
};

static std::vector<SPoint> BuildHull()
{
	std::vector<SPoint> hull(std::begin(aHullRight), std::end(aHullRight));
	for (int i = static_cast<int>(std::size(aHullRight)) - 2; i > 0; i--)
		hull.push_back(SPoint{48 - aHullRight[i].x, aHullRight[i].y});
	return hull;
}

void PaintShip(CRaster& raster)
{
	const std::vector<SPoint> hull = BuildHull();
	const SRGBA metal{0.78f, 0.82f, 0.9f, 1};
	const SRGBA edge{0.12f, 0.16f, 0.28f, 1};
	const SRGBA stripe{0.9f, 0.25f, 0.18f, 1};

	// Exhaust glow behind the tail, under the hull.
	raster.Paint([](float x, float y) {
		float dx = (x - 24) / 3.2f, dy = (y - 41.5f) / 4.5f;
		float glow = std::exp(-(dx * dx + dy * dy) * 1.6f);
		return SRGBA{1, 0.55f + 0.35f * glow, 0.15f + 0.4f * glow, glow * 0.85f};
	});

	raster.Paint([&](float x, float y) {
		if (!InsidePolygon(hull, x, y))
			return SRGBA{0, 0, 0, 0};
		float d = DistanceToEdges(hull, x, y);
		float side = x - 24;
		// Light from the upper left: the left half is brighter, a ridge
		// runs down the middle.
		float shade = 0.72f + 0.22f * (side < 0 ? 1.0f : -0.3f) * std::min(1.0f, std::abs(side) / 6);
		shade += 0.18f * std::exp(-side * side / 1.5f) * (y < 36 ? 1.0f : 0.0f);
		shade *= 0.85f + 0.15f * SmoothStep(0.5f, 4, d);
		SRGBA c = Scale(metal, shade);
		if (std::abs(side) > 10 && y > 29 && y < 38 - std::abs(side) * 0.05f && d > 1.2f)
			c = Scale(stripe, shade + 0.1f);
		c.a = 1;
		return Mix(edge, c, SmoothStep(0.4f, 1.4f, d));
	});

	// Cockpit canopy.
	raster.Paint([](float x, float y) {
		float dx = (x - 24) / 2.7f, dy = (y - 19) / 5.5f;
		float q = dx * dx + dy * dy;
		if (q > 1)
			return SRGBA{0, 0, 0, 0};
		float highlight = std::exp(-((x - 23) * (x - 23) + (y - 16.5f) * (y - 16.5f)) / 1.6f);
		SRGBA glass = Mix(SRGBA{0.1f, 0.45f, 0.75f, 1}, SRGBA{0.45f, 0.9f, 1, 1}, 1 - q);
		SRGBA c = Mix(glass, SRGBA{1, 1, 1, 1}, highlight * 0.8f);
		c.a = 1;
		return Mix(SRGBA{0.08f, 0.12f, 0.22f, 1}, c, SmoothStep(1.0f, 0.75f, q));
	});
}

// Rocks -----------------------------------------------------------------

namespace
{
struct SCrater
{
	float x, y, radius;
};

// A rock's silhouette (radius by angle) and its craters.
struct SRockShape
{
	float centre, radius;
	float aAmplitude[6];
	float aPhase[6];
	std::vector<SCrater> craters;
	unsigned seed;

	float RadiusAt(float angle) const
	{
		float r = 1;
		for (int k = 0; k < 6; k++)
			r += aAmplitude[k] * std::sin((k + 2) * angle + aPhase[k]);
		return radius * r;
	}
};
}

static SRockShape BuildRock(float size, unsigned seed)
{
	CShapeRandom random(seed);
	SRockShape shape;
	shape.centre = size * 0.5f;
	shape.seed = seed;
	float total = 0;
	for (int k = 0; k < 6; k++)
	{
		shape.aAmplitude[k] = random.Range(0.015f, 0.07f) / (1 + k * 0.35f);
		shape.aPhase[k] = random.Range(0, 2 * kPi);
		total += shape.aAmplitude[k];
	}
	// The widest bump must stay inside the picture.
	shape.radius = (size * 0.5f - 0.75f) / (1 + total);
	int craters = size >= 64 ? 6 : size >= 32 ? 4 : 2;
	for (int i = 0; i < craters; i++)
	{
		float angle = random.Range(0, 2 * kPi), reach = random.Range(0.0f, 0.62f) * shape.radius;
		shape.craters.push_back(SCrater{shape.centre + std::cos(angle) * reach, shape.centre + std::sin(angle) * reach,
		                                shape.radius * random.Range(0.12f, 0.26f)});
	}
	return shape;
}

// Surface normal of the rock at (x, y): a sphere's, bent by noise and
// cratered bowls.
static void RockNormal(const SRockShape& shape, float x, float y, float rim, float n[3])
{
	float dx = (x - shape.centre) / rim, dy = (y - shape.centre) / rim;
	float h = std::sqrt(std::max(0.0f, 1 - dx * dx - dy * dy));
	float scale = 4.0f / shape.radius;
	float e = 0.05f;
	float n0 = FractalNoise(x * scale, y * scale, shape.seed, 3);
	float nx = (FractalNoise((x + e) * scale, y * scale, shape.seed, 3) - n0) / e;
	float ny = (FractalNoise(x * scale, (y + e) * scale, shape.seed, 3) - n0) / e;
	n[0] = dx - nx * 1.2f;
	n[1] = dy - ny * 1.2f;
	n[2] = h + 0.15f;
	for (const SCrater& c : shape.craters)
	{
		float cx = (x - c.x) / c.radius, cy = (y - c.y) / c.radius;
		float q = std::sqrt(cx * cx + cy * cy);
		if (q < 1)
		{
			// Inside the bowl the surface tilts toward the crater's centre.
			n[0] -= cx * 0.9f;
			n[1] -= cy * 0.9f;
		}
		else if (q < 1.35f)
		{
			// The raised rim tilts outward.
			float k = (1.35f - q) / 0.35f * 0.5f;
			n[0] += cx / q * k;
			n[1] += cy / q * k;
		}
	}
	float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
	for (int i = 0; i < 3; i++)
		n[i] /= length;
}

void PaintRock(CRaster& raster, unsigned seed)
{
	const SRockShape shape = BuildRock(static_cast<float>(raster.Width()), seed);
	const float light[3] = {-0.52f, -0.62f, 0.59f};
	const SRGBA light_stone{0.66f, 0.58f, 0.5f, 1};
	const SRGBA dark_stone{0.42f, 0.37f, 0.34f, 1};

	raster.Paint([&](float x, float y) {
		float dx = x - shape.centre, dy = y - shape.centre;
		float rim = shape.RadiusAt(std::atan2(dy, dx));
		float d = std::sqrt(dx * dx + dy * dy);
		if (d > rim)
			return SRGBA{0, 0, 0, 0};
		float n[3];
		RockNormal(shape, x, y, rim, n);
		float lambert = std::max(0.0f, n[0] * light[0] + n[1] * light[1] + n[2] * light[2]);
		float grain = FractalNoise(x * 7.0f / shape.radius, y * 7.0f / shape.radius, seed + 17, 4);
		SRGBA c = Mix(dark_stone, light_stone, SmoothStep(0.3f, 0.7f, grain));
		c = Scale(c, 0.22f + 0.95f * lambert);
		c.a = 1;
		return c;
	});
}

// Shot and star ---------------------------------------------------------

void PaintShot(CRaster& raster)
{
	raster.Paint([](float x, float y) {
		float dx = (x - 4) / 1.5f;
		// A short nose toward the top and a longer tail behind.
		float dy = (y - 3.6f) / (y < 3.6f ? 2.2f : 3.4f);
		float q = dx * dx + dy * dy;
		float glow = std::exp(-q * 1.4f);
		SRGBA c = Mix(SRGBA{1, 0.62f, 0.15f, 1}, SRGBA{1, 1, 0.9f, 1}, SmoothStep(0.35f, 0.85f, glow));
		c.a = glow * 1.25f;
		return c;
	});
}

void PaintStar(CRaster& raster)
{
	raster.Paint([](float x, float y) {
		float dx = x - 8, dy = y - 8;
		float d = std::sqrt(dx * dx + dy * dy);
		float core = std::exp(-(d * d) / 2.0f);
		float halo = 0.4f * std::exp(-(d * d) / 12.0f);
		float spikes = 0.75f * std::max(std::exp(-std::abs(dx) / 0.5f - std::abs(dy) / 3.2f),
		                                std::exp(-std::abs(dy) / 0.5f - std::abs(dx) / 3.2f));
		float fade = SmoothStep(7.9f, 5.5f, d);
		SRGBA c = Mix(SRGBA{0.62f, 0.76f, 1, 1}, SRGBA{1, 1, 1, 1}, std::min(1.0f, core * 1.3f));
		c.a = std::min(1.0f, core + halo + spikes) * fade;
		return c;
	});
}
