#include "game/Bullet.h"

#include "game/Globals.h"
#include "foundation/Utils.h"

CBullet::CBullet()
{
	m_fRadius = 3;
	m_iTexture = g_iTex_Bullet;
}

void CBullet::Update()
{
	TestCollision(OBJFLAG_HITBULLET);
	m_fLife -= g_FrameTime;
	if (m_fLife < 0)
		m_Flags |= OBJFLAG_DEAD;
	m_fAngle = NVorn::atan2(m_Vel.y, m_Vel.x) + 1.5707964f;
	CGameObject::Update();
}
