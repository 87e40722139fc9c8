// A core message: a type and four parameter words, posted into the core's
// queue by the key pump (keys, quit) and by the display device (mouse).
// Whoever posts a message allocates it with new; from CCore::AddMessage on,
// the queue owns it. The words are fixed at 32 bits.
#ifndef NVORN_CORE_MESSAGE_H
#define NVORN_CORE_MESSAGE_H

#include <cstdint>

namespace NVorn {
namespace NCore {

const int32_t MSG_QUIT      = 0;   // no parameters
const int32_t MSG_KEYDOWN   = 16;  // [0] engine key code, [1] character typed
const int32_t MSG_KEYUP     = 18;  // as MSG_KEYDOWN
const int32_t MSG_MOUSEMOVE = 32;  // [0], [1] mouse offset since the last frame
const int32_t MSG_MOUSEDOWN = 33;
const int32_t MSG_MOUSEUP   = 34;

struct CMessage
{
    int32_t m_Type;
    int32_t m_aParam[4];
};

} // namespace NCore
} // namespace NVorn

#endif
