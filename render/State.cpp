#include "render/State.h"

namespace NVorn {
namespace N3D {

namespace {

bool IsTextureUnit(long unit)
{
    return IsInEnumeration(unit, TEXTURE_UNIT_COUNT);
}

} // namespace

// ---------------------------------------------------------------------------
// Recording setters

void CState::Flag_Set(long flag, bool on)
{
    if (!IsInEnumeration(flag, FLAG_COUNT))
        return;
    m_aFlags[flag] = on ? 1 : 0;
}

void CState::Mode_BlendFunc(int src, int dst)
{
    m_BlendSrc = src & 0xF;
    m_BlendDst = dst & 0xF;
}

void CState::Mode_DepthTest(int test)
{
    m_DepthTest = test & 0xF;
}

void CState::Mode_Cull(int mode)
{
    m_Cull = mode & 0x3;
}

void CState::Mode_StencilFunc(int test, int ref, int mask)
{
    m_StencilFunc = test & 0xF;
    m_StencilRef = ref & 0xFF;
    m_StencilMask = mask & 0xFF;
}

void CState::Mode_StencilOp(int fail, int zfail, int pass)
{
    m_StencilFail = fail & 0xF;
    m_StencilZFail = zfail & 0xF;
    m_StencilPass = pass & 0xF;
}

void CState::Mode_PrimaryColor(float r, float g, float b, float a)
{
    m_aPrimaryColor[0] = r;
    m_aPrimaryColor[1] = g;
    m_aPrimaryColor[2] = b;
    m_aPrimaryColor[3] = a;
}

void CState::Mode_WriteMask(bool r, bool g, bool b, bool a)
{
    m_aWriteMask[0] = r;
    m_aWriteMask[1] = g;
    m_aWriteMask[2] = b;
    m_aWriteMask[3] = a;
}

void CState::Stream_Vertex(long buffer) { m_VertexStream = buffer; }
void CState::Stream_Index(long buffer)  { m_IndexStream = buffer; }
void CState::Stream_Normal(long buffer) { m_NormalStream = buffer; }
void CState::Stream_Color(long buffer)  { m_ColorStream = buffer; }

void CState::Stream_Texture(long unit, long buffer, long set)
{
    if (!IsTextureUnit(unit))
        return;
    m_aTextureStream[unit] = buffer;
    m_aTextureSet[unit] = set;
}

void CState::Shader_Vertex(long shader) { m_VertexShader = shader; }
void CState::Shader_Pixel(long shader)  { m_PixelShader = shader; }

void CState::Shader_GlobalParam() {}
void CState::Shader_VertexParamBool(long, const bool*, long) {}
void CState::Shader_VertexParamFloat(long, const TVector4<float>*, long) {}
void CState::Shader_VertexParamInt(long, const TVector4<long>*, long) {}
void CState::Shader_PixelParamBool(long, const bool*, long) {}
void CState::Shader_PixelParamFloat(long, const TVector4<float>*, long) {}
void CState::Shader_PixelParamInt(long, const TVector4<long>*, long) {}
void CState::Shader_PixelParam() {}

void CState::Texture_Set(int unit, long texture)
{
    if (!IsTextureUnit(unit))
        return;
    m_aTexture[unit] = texture;
}

void CState::Matrix_Model(TMatrix4<float> m)      { m_Model = m; }
void CState::Matrix_Projection(TMatrix4<float> m) { m_Projection = m; }

// ---------------------------------------------------------------------------
// Whole-state transfer

void CState::State_Set(const CState& other, bool force)
{
    if (force)
        SetAll(other);
    else
        SetChanged(other);
}

// Calls only the setters whose recorded values differ, so that unchanged
// state costs no graphics-API call. The write mask and both matrices are
// always set.
void CState::SetChanged(const CState& other)
{
    for (long i = 0; i < FLAG_COUNT; ++i)
        if (m_aFlags[i] != other.m_aFlags[i])
            Flag_Set(i, other.m_aFlags[i] != 0);

    if (m_BlendSrc != other.m_BlendSrc || m_BlendDst != other.m_BlendDst)
        Mode_BlendFunc(other.m_BlendSrc, other.m_BlendDst);
    if (m_DepthTest != other.m_DepthTest)
        Mode_DepthTest(other.m_DepthTest);
    if (m_Cull != other.m_Cull)
        Mode_Cull(other.m_Cull);
    if (m_StencilFail != other.m_StencilFail || m_StencilZFail != other.m_StencilZFail
        || m_StencilPass != other.m_StencilPass)
        Mode_StencilOp(other.m_StencilFail, other.m_StencilZFail, other.m_StencilPass);

    Mode_WriteMask(other.m_aWriteMask[0], other.m_aWriteMask[1],
                   other.m_aWriteMask[2], other.m_aWriteMask[3]);

    if (m_StencilFunc != other.m_StencilFunc || m_StencilRef != other.m_StencilRef
        || m_StencilMask != other.m_StencilMask)
        Mode_StencilFunc(other.m_StencilFunc, other.m_StencilRef, other.m_StencilMask);

    const float* c = other.m_aPrimaryColor;
    if (m_aPrimaryColor[0] != c[0] || m_aPrimaryColor[1] != c[1]
        || m_aPrimaryColor[2] != c[2] || m_aPrimaryColor[3] != c[3])
        Mode_PrimaryColor(c[0], c[1], c[2], c[3]);

    if (m_VertexStream != other.m_VertexStream)
        Stream_Vertex(other.m_VertexStream);
    if (m_IndexStream != other.m_IndexStream)
        Stream_Index(other.m_IndexStream);
    if (m_NormalStream != other.m_NormalStream)
        Stream_Normal(other.m_NormalStream);
    if (m_ColorStream != other.m_ColorStream)
        Stream_Color(other.m_ColorStream);

    for (int u = 0; u < TEXTURE_UNIT_COUNT; ++u)
    {
        if (m_aTextureStream[u] != other.m_aTextureStream[u]
            || m_aTextureSet[u] != other.m_aTextureSet[u])
            Stream_Texture(u, other.m_aTextureStream[u], other.m_aTextureSet[u]);
        if (m_aTexture[u] != other.m_aTexture[u])
            Texture_Set(u, other.m_aTexture[u]);
    }

    if (m_VertexShader != other.m_VertexShader)
        Shader_Vertex(other.m_VertexShader);
    if (m_PixelShader != other.m_PixelShader)
        Shader_Pixel(other.m_PixelShader);

    Matrix_Model(other.m_Model);
    Matrix_Projection(other.m_Projection);
}

void CState::SetAll(const CState& other)
{
    for (long i = 0; i < FLAG_COUNT; ++i)
        Flag_Set(i, other.m_aFlags[i] != 0);
    Mode_BlendFunc(other.m_BlendSrc, other.m_BlendDst);
    Mode_DepthTest(other.m_DepthTest);
    Mode_Cull(other.m_Cull);
    Mode_StencilOp(other.m_StencilFail, other.m_StencilZFail, other.m_StencilPass);
    Mode_StencilFunc(other.m_StencilFunc, other.m_StencilRef, other.m_StencilMask);
    Mode_PrimaryColor(other.m_aPrimaryColor[0], other.m_aPrimaryColor[1],
                      other.m_aPrimaryColor[2], other.m_aPrimaryColor[3]);
    Mode_WriteMask(other.m_aWriteMask[0], other.m_aWriteMask[1],
                   other.m_aWriteMask[2], other.m_aWriteMask[3]);
    Stream_Vertex(other.m_VertexStream);
    Stream_Index(other.m_IndexStream);
    Stream_Normal(other.m_NormalStream);
    Stream_Color(other.m_ColorStream);
    for (int u = 0; u < TEXTURE_UNIT_COUNT; ++u)
    {
        Stream_Texture(u, other.m_aTextureStream[u], other.m_aTextureSet[u]);
        Texture_Set(u, other.m_aTexture[u]);
    }
    Shader_Vertex(other.m_VertexShader);
    Shader_Pixel(other.m_PixelShader);
    Matrix_Model(other.m_Model);
    Matrix_Projection(other.m_Projection);
}

void CState::State_SetDefaults(bool force)
{
    if (!force)
    {
        // A plain CState only records, so this fills in the defaults without
        // touching any device; the transfer then sends the differences.
        CState defaults;
        defaults.State_SetDefaults(true);
        State_Set(defaults, false);
        return;
    }

    static const bool aDefaultFlags[FLAG_COUNT] = {
        false,  // FLAG_BLEND
        true,   // FLAG_CULL
        true,   // FLAG_COLORWRITE
        true,   // FLAG_DEPTHTEST
        true,   // FLAG_DEPTHWRITE
        false,  // FLAG_STENCILTEST
        false   // FLAG_STENCILWRITE
    };
    for (long i = 0; i < FLAG_COUNT; ++i)
        Flag_Set(i, aDefaultFlags[i]);

    Mode_BlendFunc(BLEND_SRCCOLOR, BLEND_ZERO);
    Mode_DepthTest(TEST_LESS);
    Mode_Cull(CULL_CW);
    Mode_StencilFunc(TEST_EQUAL, 0, 255);
    Mode_StencilOp(STENCILOP_KEEP, STENCILOP_KEEP, STENCILOP_KEEP);
    Mode_PrimaryColor(1.0f, 1.0f, 1.0f, 1.0f);
    Mode_WriteMask(true, true, true, true);
    Stream_Vertex(-1);
    Stream_Index(-1);
    Stream_Normal(-1);
    Stream_Color(-1);
    for (int u = 0; u < TEXTURE_UNIT_COUNT; ++u)
        Stream_Texture(u, -1, -1);
    for (int u = 0; u < TEXTURE_UNIT_COUNT; ++u)
        Texture_Set(u, -1);
    Shader_Vertex(-1);
    Shader_Pixel(-1);
    Matrix_Model(NMatrix::Unit());
    Matrix_Projection(NMatrix::Unit());
}

// ---------------------------------------------------------------------------
// Stream helpers

void CState::Stream_Clear()
{
    Stream_Vertex(-1);
    Stream_Index(-1);
    Stream_Normal(-1);
    Stream_Color(-1);
    for (int u = 0; u < TEXTURE_UNIT_COUNT; ++u)
        Stream_Texture(u, -1, -1);
}

void CState::Stream_Set(long buffer, long mask)
{
    if (mask & STREAM_POSITION)
        Stream_Vertex(buffer);
    if (mask & STREAM_NORMAL)
        Stream_Normal(buffer);
    if (mask & STREAM_COLOR)
        Stream_Color(buffer);
    for (int u = 0; u < TEXTURE_UNIT_COUNT; ++u)
        if (mask & (STREAM_TEXTURE0 << u))
            Stream_Texture(u, buffer, u);
}

} // namespace N3D
} // namespace NVorn
