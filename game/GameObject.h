// CGameObject: one thing in the game world (a rock, the ship or a shot).
//
// Every frame the driver calls Update on each object, deletes those marked
// OBJFLAG_DEAD, then calls Render on the survivors. Objects test their own
// collisions inside Update against the whole of g_lObjects and react in
// OnCollision. Positions live in the 640 x 480 playfield, y downward, and
// wrap at its edges. Objects own no resources; g_lObjects owns the objects.
#ifndef NVORN_GAME_GAMEOBJECT_H
#define NVORN_GAME_GAMEOBJECT_H

#include "render/Vector.h"

#include <cstdint>

const uint32_t OBJFLAG_HITPLAYER = 1;   // the ship collides with this object
const uint32_t OBJFLAG_HITBULLET = 4;   // shots collide with this object
const uint32_t OBJFLAG_DEAD = 8;        // deleted after the current update pass

const float FIELD_WIDTH = 640;
const float FIELD_HEIGHT = 480;

class CGameObject
{
public:
	CGameObject();
	virtual void OnCollision();   // marks the object dead
	virtual void Render();        // draws the texture at its own size, wrapped
	virtual void Update();        // spins, moves and wraps
	virtual ~CGameObject() {}

	uint32_t m_Flags = 0;
	float m_fRadius = 0;                 // collision radius
	NVorn::TVector2<float> m_Pos;        // centre
	NVorn::TVector2<float> m_Vel;        // units per second
	long m_iTexture = -1;                // -1: none
	float m_fAngle = 0;                  // radians, clockwise on screen
	float m_fSpin = 0;                   // radians per second

protected:
	// Walks g_lObjects for the first live object carrying flag whose circle
	// overlaps this one's; on a hit calls its OnCollision, then this one's.
	// Returns whether there was a hit.
	bool TestCollision(uint32_t flag);
};

#endif
