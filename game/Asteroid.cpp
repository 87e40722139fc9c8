#include "game/Asteroid.h"

#include "game/Globals.h"
#include "foundation/Utils.h"

CAsteroid::CAsteroid(long level)
	: m_Level(level)
{
	m_Flags = OBJFLAG_HITPLAYER | OBJFLAG_HITBULLET;
	m_iTexture = g_iTex_Roid[level];
	m_fRadius = (64 >> level) * 0.5f;
	m_fSpin = NVorn::Random() - 0.5f;
	// The place lies up to 600 units from the centre in any direction, often
	// outside the field; the first Update wraps it in.
	float dx = 2 * (NVorn::Random() - 0.5f);
	float dy = 2 * (NVorn::Random() - 0.5f);
	float distance = NVorn::Random() * 400 + 200;
	m_Pos.x = 320 + dx * distance;
	m_Pos.y = 240 + dy * distance;
	float vx = (NVorn::Random() - 0.5f) * 10;
	float vy = (NVorn::Random() - 0.5f) * 10;
	m_Vel.x = vx;
	m_Vel.y = vy;
}

void CAsteroid::OnCollision()
{
	if (m_Level <= 1)
	{
		for (int i = 0; i < 3; i++)
		{
			CAsteroid* child = new CAsteroid(m_Level + 1);
			g_lObjects.Append(child);
			child->m_Pos = m_Pos;
			child->m_Vel.x = (child->m_Vel.x + m_Vel.x) * 3;
			child->m_Vel.y = (child->m_Vel.y + m_Vel.y) * 3;
		}
	}
	m_Flags |= OBJFLAG_DEAD;
}
