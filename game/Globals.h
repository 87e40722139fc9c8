// The game's global state, defined in Vorn.cpp and shared by the driver,
// the game objects and the sprite helpers.
//
// The driver owns the device (g_pDevice) and every object in g_lObjects;
// g_pPlayer is the ship, also held in the list. Texture handles are -1 when
// their file could not be loaded. All of it is used on the main thread only.
#ifndef NVORN_GAME_GLOBALS_H
#define NVORN_GAME_GLOBALS_H

#include "foundation/DynamicArray.h"
#include "render/Vector.h"

namespace NVorn { namespace N3D { class CDevice; class C2DUtils; } }

class CGameObject;
class CPlayer;

// One background star: base position, quad size and rotation.
struct SStar
{
	NVorn::TVector2<float> m_Pos;   // each coordinate in 0..900
	float m_fSize;                  // quad edge, 4..12
	float m_fAngle;                 // radians, 0..2 pi
};

const int STAR_COUNT = 300;
const int TEXT_LENGTH = 218;       // characters of the credits line

// Texture handles on g_pDevice.
extern long g_iTex_Ship;
extern long g_iTex_Star;
extern long g_iTex_Roid[3];        // by rock level: big, medium, small
extern long g_iTex_Bullet;
extern long g_iTex_Text;

// The font layout: cell i of the font texture shows aTranslation[i].
extern const char aTranslation[128];
// The credits line that scrolls once across the screen.
extern char aText[TEXT_LENGTH + 1];

extern NVorn::N3D::CDevice* g_pDevice;
extern NVorn::N3D::C2DUtils g_Utils;

extern float g_Time;               // seconds since the loop started
extern float g_FrameTime;          // duration of the previous frame, seconds
extern int g_Restart;              // non-zero: rebuild the world next frame

extern NVorn::TDynamicArray<CGameObject*> g_lObjects;
extern CPlayer* g_pPlayer;
extern SStar g_aStars[STAR_COUNT];

#endif
