#include "game/Player.h"

#include "game/Bullet.h"
#include "game/Globals.h"
#include "foundation/Utils.h"

static const float THRUST = 150;     // units per second squared
static const float TURN_RATE = 5;    // radians per second
static const float HALF_PI = 1.5707964f;
static const float MUZZLE_DISTANCE = 32;
static const float SHOT_SPEED = 400;

CPlayer::CPlayer()
{
	m_fRadius = 24;
	m_iTexture = g_iTex_Ship;
	m_Pos.x = 320;
	m_Pos.y = 240;
}

void CPlayer::OnCollision()
{
	g_Restart = 1;
	m_Dead = 1;
}

void CPlayer::Render()
{
	if (!m_Dead)
		CGameObject::Render();
}

void CPlayer::Update()
{
	TestCollision(OBJFLAG_HITPLAYER);
	if (m_KeyThrust)
	{
		m_Vel.x += NVorn::sin(m_fAngle) * THRUST * g_FrameTime;
		m_Vel.y -= NVorn::cos(m_fAngle) * THRUST * g_FrameTime;
	}
	if (m_KeyFire)
	{
		Fire();
		m_KeyFire = 0;
	}
	if (m_KeyLeft)
		m_fAngle -= TURN_RATE * g_FrameTime;
	if (m_KeyRight)
		m_fAngle += TURN_RATE * g_FrameTime;
	CGameObject::Update();
}

// The shot leaves the nose along the heading (cos d, sin d), which is
// (sin angle, -cos angle), with the ship's own velocity added.
void CPlayer::Fire()
{
	float d = m_fAngle - HALF_PI;
	float cx = NVorn::cos(d), sy = NVorn::sin(d);
	CBullet* bullet = new CBullet();
	bullet->m_Pos.x = m_Pos.x + cx * MUZZLE_DISTANCE;
	bullet->m_Pos.y = m_Pos.y + sy * MUZZLE_DISTANCE;
	bullet->m_Vel.x = m_Vel.x + cx * SHOT_SPEED;
	bullet->m_Vel.y = m_Vel.y + sy * SHOT_SPEED;
	g_lObjects.Append(bullet);
}
