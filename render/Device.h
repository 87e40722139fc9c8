// CDevice: the abstract render device through which the game and the 2D
// batcher draw.
//
// It is the recorded render state (CState, first base) and a per-frame
// subsystem (CSubSystem, second base, so constructing a device registers it
// with the core, which must exist). A graphics back end derives from it,
// overrides the CState setters and supplies the pure operations below.
// CDevice itself implements what every back end shares: the handle table,
// uploads of whole buffers, display-mode selection and shader-source loading.
//
// Ownership: the device owns every resource record behind its handles, but
// its destructor does not destroy them; call ClearAllAllocatedIndexes first
// to release them. Handles are longs; -1 means none or failure. Creation
// reports failure with -1, locking with null, destruction with false.
//
// A back end that overrides CreateVertexBuffer(long, long, long) or
// CreateIndexBuffer(long, long) hides the upload overloads of the same name;
// it brings them back with `using CDevice::CreateVertexBuffer;` (and
// likewise for CreateIndexBuffer).
#ifndef NVORN_RENDER_DEVICE_H
#define NVORN_RENDER_DEVICE_H

#include <cstdint>

#include "core/SubSystem.h"
#include "foundation/DynamicArray.h"
#include "foundation/String.h"
#include "render/IndexBuffer.h"
#include "render/IndexHandler.h"
#include "render/Mode.h"
#include "render/State.h"
#include "render/VertexBuffer.h"

namespace NVorn {

class CImage;
class CStorage;

namespace N3D {

// The class-registry tag of a render device: "3D Device".
extern const char aDeviceClassTag[];

// Engine texture formats.
enum
{
    TEXFORMAT_RGB       = 0,  // red, green, blue; one byte each
    TEXFORMAT_RGBA      = 1,  // red, green, blue, alpha; one byte each
    TEXFORMAT_ALPHA     = 2,  // alpha only, one float per texel
    TEXFORMAT_LUMINANCE = 3,  // grey, one byte per texel
    TEXFORMAT_COUNT     = 4
};

// Bits of the argument of Clear.
enum
{
    CLEAR_COLOR   = 1,
    CLEAR_DEPTH   = 2,
    CLEAR_STENCIL = 4
};

// What Grab copies into a texture.
enum
{
    GRAB_COLOR = 1,
    GRAB_DEPTH = 2
};

// The result of GetTextureInfo: four 32-bit fields in this order.
struct STextureInfo
{
    int32_t handle;
    int32_t width;   // texels; 0 when the handle names no texture
    int32_t height;
    int32_t format;  // engine texture format
};

class CDevice : public CState, public NCore::CSubSystem
{
public:
    CDevice();
    ~CDevice() override;

    // Display. EnumDisplayModes appends every concrete mode that
    // request.Acceptable accepts, never one that Compare finds equal to a
    // mode already in the list.
    virtual void EnumDisplayModes(TDynamicArray<CMode>& list, CMode request) = 0;
    // Picks the best mode for the request, opens the display and the
    // graphics context and applies the default state; false when no mode fits.
    virtual bool Init(CMode request) = 0;
    virtual void SwapBuffers() = 0;
    bool Update() override = 0;
    // Ends the use of the display; called once before the device is deleted.
    virtual bool Shutdown() = 0;

    // Shaders: no capabilities and no base directory unless a back end says so.
    virtual long GetVertexShaderCapabilities();
    virtual long GetPixelShaderCapabilities();
    virtual void GetShaderBaseDir(CString& dir);

    // Textures. CreateTexture(image) takes the format from the image's depth:
    // 24 bits RGB, 32 RGBA, 8 luminance, anything else -1.
    virtual long CreateTexture(long width, long height, long format) = 0;
    virtual long CreateTexture(CImage& image) = 0;
    virtual bool DestroyTexture(long texture) = 0;
    virtual STextureInfo GetTextureInfo(long texture) = 0;

    // Vertex buffers; format is a stream-bit mask. The last argument of
    // CreateVertexBuffer is 0 at every call. Lock returns null for a bad
    // handle or a buffer already locked.
    virtual long CreateVertexBuffer(long count, long format, long) = 0;
    virtual bool DestroyVertexBuffer(long buffer) = 0;
    virtual CVertexBuffer* LockVertexBuffer(long buffer, long mask) = 0;
    virtual void UnlockVertexBuffer(long buffer, long mask) = 0;

    // Index buffers of 16-bit indices; the last argument of Create is 0.
    virtual long CreateIndexBuffer(long count, long) = 0;
    virtual bool DestroyIndexBuffer(long buffer) = 0;
    virtual CIndexBuffer* LockIndexBuffer(long buffer) = 0;
    virtual void UnlockIndexBuffer(long buffer) = 0;

    // Shader programs compiled from source text.
    virtual long CreateVertexShader(const char* source) = 0;
    virtual long CreatePixelShader(const char* source) = 0;
    virtual bool DestroyVertexShader(long shader) = 0;
    virtual bool DestroyPixelShader(long shader) = 0;

    // Drawing. Clear takes CLEAR_* bits; Draw and DrawIndexed take a PRIM_*
    // type and a number of primitives; Grab takes GRAB_COLOR or GRAB_DEPTH.
    virtual void Clear(int buffers) = 0;
    virtual void Draw(long prim, long first, long count) = 0;
    virtual void DrawIndexed(long prim, long first, long count) = 0;
    virtual bool Grab(long texture, long what) = 0;
    virtual void SetViewport(long x, long y, long width, long height) = 0;

    // Display-mode selection: the offered mode that best fits the request,
    // preferring larger values by a fixed priority; logs the choice.
    bool GetBestMode(CMode request, CMode& best);
    bool CheckMode(CMode mode);

    // Uploads. Each creates a buffer through the back end, copies the
    // source's data into it and returns its handle, or -1 (nothing created)
    // when the source is missing, the count does not fit the source, or the
    // back end gives no buffer. count -1 means the source's vertex count;
    // only components in both the source and mask are created and copied.
    long CreateVertexBuffer(CVertexBuffer* source, long count, long mask);
    long CreateIndexBuffer(CIndexBuffer* source, long);

    // Destroys every live resource through the Destroy operations.
    void ClearAllAllocatedIndexes();

    // The source of the first block in the shader file whose profile is one
    // of m_aShaderProfiles; empty when none matches.
    CString LoadShader(CStorage& storage);

    TDynamicArray<CString> m_aShaderProfiles;  // profiles the back end compiles
    float                  m_ClearDepth;       // clear values, set by the user
    float                  m_aClearColor[4];   // red, green, blue, alpha
    uint8_t                m_ClearStencil;
    CIndexHandler          m_IndexHandler;     // the table of resource handles
};

} // namespace N3D
} // namespace NVorn

#endif
