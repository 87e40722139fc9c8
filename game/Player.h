// CPlayer: the ship. It starts at the centre of the field, at rest, nose up
// (angle 0 points toward smaller y; a growing angle turns it clockwise).
// The driver sets the four key members from key messages; Update turns,
// thrusts and fires from them. Fire is taken once per press: Update clears
// m_KeyFire after firing. Touching a rock asks the driver to rebuild the
// world and hides the ship until then; the ship itself is never marked dead.
#ifndef NVORN_GAME_PLAYER_H
#define NVORN_GAME_PLAYER_H

#include "game/GameObject.h"

#include <cstdint>

class CPlayer : public CGameObject
{
public:
	CPlayer();
	void OnCollision() override;
	void Render() override;
	void Update() override;

	int32_t m_Dead = 0;
	int32_t m_KeyThrust = 0;
	int32_t m_KeyLeft = 0;
	int32_t m_KeyRight = 0;
	int32_t m_KeyFire = 0;

private:
	void Fire();
};

#endif
