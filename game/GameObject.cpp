#include "game/GameObject.h"

#include "game/Globals.h"
#include "game/Sprites.h"
#include "foundation/Utils.h"
#include "render/Device.h"
#include "utils2d/2DUtils.h"

CGameObject::CGameObject()
	: m_Pos(0, 0), m_Vel(0, 0)
{
}

void CGameObject::OnCollision()
{
	m_Flags |= OBJFLAG_DEAD;
}

// One correction per axis and frame; exactly 640 or 480 stays.
static void Wrap(float& value, float size)
{
	if (value > size)
		value -= size;
	if (value < 0)
		value += size;
}

void CGameObject::Update()
{
	m_fAngle += m_fSpin * g_FrameTime;
	m_Pos.x += m_Vel.x * g_FrameTime;
	m_Pos.y += m_Vel.y * g_FrameTime;
	Wrap(m_Pos.y, FIELD_HEIGHT);
	Wrap(m_Pos.x, FIELD_WIDTH);
}

void CGameObject::Render()
{
	NVorn::N3D::STextureInfo info = g_pDevice->GetTextureInfo(m_iTexture);
	g_Utils.SetDefaults();
	g_Utils.SetTexture(m_iTexture);
	g_Utils.SetBlend(1);
	g_Utils.Quad_Begin();
	g_Utils.SetColor(1, 1, 1, 1);
	g_Utils.Quad_SetRotation(m_fAngle);
	DrawWrappedQuad(m_Pos.x, m_Pos.y, static_cast<float>(info.width), static_cast<float>(info.height));
	g_Utils.Quad_End();
}

bool CGameObject::TestCollision(uint32_t flag)
{
	// The length is read at every step: objects may be appended meanwhile.
	for (long i = 0; i < g_lObjects.m_Length; i++)
	{
		CGameObject* other = g_lObjects[i];
		if (!(other->m_Flags & flag) || (other->m_Flags & OBJFLAG_DEAD))
			continue;
		float dx = other->m_Pos.x - m_Pos.x, dy = other->m_Pos.y - m_Pos.y;
		if (NVorn::sqrt(dx * dx + dy * dy) < other->m_fRadius + m_fRadius)
		{
			other->OnCollision();
			OnCollision();
			return true;
		}
	}
	return false;
}
