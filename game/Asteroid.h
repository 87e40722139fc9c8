// CAsteroid: a rock of level 0 (big, radius 32), 1 (medium, 16) or
// 2 (small, 8). Construction draws six values from NVorn::Random in a fixed
// order (spin, direction x and y, distance, velocity x and y), so the
// generator's sequence decides every layout. Shots and the ship collide with
// rocks; a hit rock leaves three rocks of the next level at its place, and
// a small one leaves nothing.
#ifndef NVORN_GAME_ASTEROID_H
#define NVORN_GAME_ASTEROID_H

#include "game/GameObject.h"

class CAsteroid : public CGameObject
{
public:
	explicit CAsteroid(long level);
	void OnCollision() override;

	long m_Level;
};

#endif
