// The OpenGL device's vertex and index buffers.
//
// The device draws with client-side vertex arrays, so a buffer is ordinary
// memory: a lock flag (COpenGLBuffer) followed by the description that
// crosses the device interface. Each buffer owns the arrays of its
// description and frees them when destroyed. Lock and Unlock only toggle the
// flag; they make no OpenGL call and drawing does not look at it.
#ifndef NVORN_RENDER_OPENGL_OPENGLBUFFER_H
#define NVORN_RENDER_OPENGL_OPENGLBUFFER_H

#include <cstdint>

#include "render/IndexBuffer.h"
#include "render/VertexBuffer.h"

namespace NVorn {
namespace N3D {
namespace NOpenGL {

class COpenGLBuffer
{
public:
    // True, and locked afterwards, when the buffer was unlocked; otherwise
    // logs and returns false.
    bool Lock();
    // Unlocks, or logs when the buffer was not locked.
    void Unlock();
    bool IsLocked() const { return (m_Flags & FLAG_LOCKED) != 0; }

    enum { FLAG_LOCKED = 1 };
    uint32_t m_Flags = 0;   // only FLAG_LOCKED is ever set
};

class COpenGLVertexBuffer : public COpenGLBuffer
{
public:
    COpenGLVertexBuffer() = default;
    ~COpenGLVertexBuffer();

    COpenGLVertexBuffer(const COpenGLVertexBuffer&) = delete;
    COpenGLVertexBuffer& operator=(const COpenGLVertexBuffer&) = delete;

    // Allocates count elements for every component in the stream-bit mask
    // format: positions, normals and texture coordinates zeroed, colours
    // left as they come. False when memory runs out (the arrays allocated
    // so far stay with the buffer and go with it).
    bool Allocate(long count, long format);

    CVertexBuffer m_Buffer;
};

class COpenGLIndexBuffer : public COpenGLBuffer
{
public:
    COpenGLIndexBuffer() = default;
    ~COpenGLIndexBuffer();

    COpenGLIndexBuffer(const COpenGLIndexBuffer&) = delete;
    COpenGLIndexBuffer& operator=(const COpenGLIndexBuffer&) = delete;

    // Allocates count indices, not cleared. False when memory runs out.
    bool Allocate(long count);

    // The largest index the buffer holds, which lets a draw check its whole
    // range with one comparison. While the buffer is locked, and before it
    // was first unlocked, its indices may be anything, so it reads as the
    // largest index there is.
    uint16_t LargestIndex() const { return IsLocked() ? UINT16_MAX : m_LargestIndex; }
    // Finds the largest index again; called whenever a write ends.
    void ScanIndices();

    CIndexBuffer m_Buffer;

private:
    uint16_t m_LargestIndex = UINT16_MAX;
};

} // namespace NOpenGL
} // namespace N3D
} // namespace NVorn

#endif
