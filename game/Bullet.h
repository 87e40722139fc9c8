// CBullet: a shot. It flies straight for a little over a second, its sprite
// turned along its flight, and disappears when it meets a rock (which it
// splits) or when its life runs out. Shots pass through the ship and each
// other.
#ifndef NVORN_GAME_BULLET_H
#define NVORN_GAME_BULLET_H

#include "game/GameObject.h"

class CBullet : public CGameObject
{
public:
	CBullet();
	void Update() override;

	float m_fLife = 1.0f;   // seconds left; dead once below 0
};

#endif
