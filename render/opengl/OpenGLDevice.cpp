// COpenGLDevice: initialisation and the resources behind the handles.
#include "render/opengl/OpenGLDevice.h"

#include <climits>
#include <cstdint>
#include <cstring>
#include <new>

#include "foundation/Log.h"
#include "foundation/String.h"
#include "image/Image.h"
#include "render/opengl/GLExt.h"
#include "render/opengl/OpenGLBuffer.h"
#include "render/opengl/OpenGLTables.h"

namespace NVorn {
namespace N3D {
namespace NOpenGL {

bool FitsGLSize(long size)
{
    return size >= 0 && size <= INT32_MAX;
}

namespace
{

const char* TextOrEmpty(const GLubyte* text)
{
    return text ? reinterpret_cast<const char*>(text) : "";
}

} // namespace

COpenGLDevice::COpenGLDevice()
    : m_bVertexProgram(false),
      m_bMultitexture(false),
      m_pIndexData(nullptr),
      m_pIndexBuffer(nullptr)
{
    // Nothing is bound yet. Init pushes the whole state; until then, and for
    // texture units the device cannot reach, the bindings read as none.
    m_VertexStream = m_IndexStream = m_NormalStream = m_ColorStream = -1;
    m_VertexShader = m_PixelShader = -1;
    for (long unit = 0; unit < TEXTURE_UNIT_COUNT; ++unit)
        m_aTextureStream[unit] = m_aTextureSet[unit] = m_aTexture[unit] = -1;
}

COpenGLDevice::~COpenGLDevice()
{
}

bool COpenGLDevice::Init(CMode)
{
    m_bVertexProgram = GLExtInit_arb_vertex_program();
    m_bMultitexture = GLExtInit_arb_multitexture();
    if (m_bVertexProgram)
        m_aShaderProfiles.Append(CString("ARBvp1_0"));
    if (!m_bMultitexture)
        NLog::Write("opengl: ERROR! ARB_multitexture extentions isn't present. The device will not work without it.\n");
    // The extension list outgrows the formatted log's buffer; written in
    // pieces it reaches the log whole and the line keeps its end.
    NLog::Write("Extentions: ");
    NLog::Write(TextOrEmpty(glGetString(GL_EXTENSIONS)));
    NLog::Write("\n");
    State_SetDefaults(true);
    return true;
}

STexture* COpenGLDevice::FindTexture(long handle) const
{
    return static_cast<STexture*>(m_IndexHandler.Lookup(handle, SID_TEXTURE));
}

SVertexShader* COpenGLDevice::FindVertexShader(long handle) const
{
    return static_cast<SVertexShader*>(m_IndexHandler.Lookup(handle, SID_VERTEXSHADER));
}

COpenGLVertexBuffer* COpenGLDevice::FindVertexBuffer(long handle) const
{
    return static_cast<COpenGLVertexBuffer*>(m_IndexHandler.Lookup(handle, SID_VERTEXBUFFER));
}

COpenGLIndexBuffer* COpenGLDevice::FindIndexBuffer(long handle) const
{
    return static_cast<COpenGLIndexBuffer*>(m_IndexHandler.Lookup(handle, SID_INDEXBUFFER));
}

long COpenGLDevice::Internal_CreateTexture(long width, long height, long format,
                                           unsigned char* pixels)
{
    if (!IsInEnumeration(format, TEXFORMAT_COUNT) || !FitsGLSize(width) || !FitsGLSize(height))
        return -1;

    glGetError();
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    // Images keep their rows tightly packed, whatever their width.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, g_aTexFormatTableInt[format],
                 static_cast<GLsizei>(width), static_cast<GLsizei>(height), 0,
                 g_aTexFormatTableFormat[format], g_aTexFormatTableType[format], pixels);
    if (glGetError() != GL_NO_ERROR)
    {
        glDeleteTextures(1, &name);
        return -1;
    }

    STexture* texture = new STexture();
    texture->glName = name;
    texture->glFormat = g_aTexFormatTableFormat[format];
    long handle = m_IndexHandler.GetFree(SID_TEXTURE);
    m_IndexHandler.m_aIDs[handle].m_pData = texture;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    texture->format = static_cast<int32_t>(format);
    texture->handle = static_cast<int32_t>(handle);
    texture->width = static_cast<int32_t>(width);
    texture->height = static_cast<int32_t>(height);
    return handle;
}

long COpenGLDevice::CreateTexture(long width, long height, long format)
{
    if (!FitsGLSize(width) || !FitsGLSize(height))
        return -1;
    if (height != 0 && width > LONG_MAX / 4 / height)
        return -1;
    // Room for four bytes per texel, the most any format reads.
    unsigned char* scratch = new (std::nothrow) unsigned char[width * height * 4];
    if (!scratch)
        return -1;
    long handle = Internal_CreateTexture(width, height, format, scratch);
    delete[] scratch;
    return handle;
}

long COpenGLDevice::CreateTexture(CImage& image)
{
    long format;
    switch (image.m_Format)
    {
    case 24: format = TEXFORMAT_RGB; break;
    case 32: format = TEXFORMAT_RGBA; break;
    case 8:  format = TEXFORMAT_LUMINANCE; break;
    default: return -1;
    }
    // An image without pixels has nothing to upload.
    if (!image.m_pData)
        return -1;
    return Internal_CreateTexture(image.m_Width, image.m_Height, format, image.m_pData);
}

bool COpenGLDevice::DestroyTexture(long handle)
{
    STexture* texture = FindTexture(handle);
    if (!texture)
        return false;
    glDeleteTextures(1, &texture->glName);
    delete texture;
    m_IndexHandler.Remove(handle);
    return true;
}

STextureInfo COpenGLDevice::GetTextureInfo(long handle)
{
    STextureInfo info = { -1, 0, 0, -1 };
    if (STexture* texture = FindTexture(handle))
    {
        info.handle = texture->handle;
        info.width = texture->width;
        info.height = texture->height;
        info.format = texture->format;
    }
    return info;
}

long COpenGLDevice::CreateVertexBuffer(long count, long format, long)
{
    if (count < 0)
        return -1;
    COpenGLVertexBuffer* buffer = new COpenGLVertexBuffer();
    if (!buffer->Allocate(count, format))
    {
        delete buffer;
        return -1;
    }
    long handle = m_IndexHandler.GetFree(SID_VERTEXBUFFER);
    m_IndexHandler.m_aIDs[handle].m_pData = buffer;
    return handle;
}

// Client arrays still pointing into a buffer that is going away would be
// read by the next draw; the streams reading it are unbound first.
void COpenGLDevice::UnbindVertexBuffer(long handle)
{
    if (m_VertexStream == handle)
        Stream_Vertex(-1);
    if (m_NormalStream == handle)
        Stream_Normal(-1);
    if (m_ColorStream == handle)
        Stream_Color(-1);
    for (long unit = 0; unit < TEXTURE_UNIT_COUNT; ++unit)
    {
        if (m_aTextureStream[unit] == handle)
            Stream_Texture(unit, -1, -1);
    }
}

bool COpenGLDevice::DestroyVertexBuffer(long handle)
{
    COpenGLVertexBuffer* buffer = FindVertexBuffer(handle);
    if (!buffer)
        return false;
    UnbindVertexBuffer(handle);
    m_IndexHandler.Remove(handle);
    delete buffer;
    return true;
}

CVertexBuffer* COpenGLDevice::LockVertexBuffer(long handle, long)
{
    COpenGLVertexBuffer* buffer = FindVertexBuffer(handle);
    if (!buffer)
        return nullptr;
    if (!buffer->Lock())
    {
        NLog::Write("opengl: warning, LockVertexBuffer called on a buffer that is locked\n");
        return nullptr;
    }
    return &buffer->m_Buffer;
}

void COpenGLDevice::UnlockVertexBuffer(long handle, long)
{
    if (COpenGLVertexBuffer* buffer = FindVertexBuffer(handle))
        buffer->Unlock();
}

long COpenGLDevice::CreateIndexBuffer(long count, long)
{
    if (count < 0)
        return -1;
    COpenGLIndexBuffer* buffer = new COpenGLIndexBuffer();
    if (!buffer->Allocate(count))
    {
        delete buffer;
        return -1;
    }
    long handle = m_IndexHandler.GetFree(SID_INDEXBUFFER);
    m_IndexHandler.m_aIDs[handle].m_pData = buffer;
    return handle;
}

bool COpenGLDevice::DestroyIndexBuffer(long handle)
{
    COpenGLIndexBuffer* buffer = FindIndexBuffer(handle);
    if (!buffer)
        return false;
    if (m_IndexStream == handle)
        Stream_Index(-1);
    delete buffer;
    m_IndexHandler.Remove(handle);
    return true;
}

CIndexBuffer* COpenGLDevice::LockIndexBuffer(long handle)
{
    COpenGLIndexBuffer* buffer = FindIndexBuffer(handle);
    if (!buffer || !buffer->Lock())
        return nullptr;
    return &buffer->m_Buffer;
}

void COpenGLDevice::UnlockIndexBuffer(long handle)
{
    if (COpenGLIndexBuffer* buffer = FindIndexBuffer(handle))
    {
        buffer->Unlock();
        buffer->ScanIndices();
    }
}

long COpenGLDevice::CreateVertexShader(const char* source)
{
    if (!m_bVertexProgram || !source)
        return -1;

    glGetError();
    GLuint program = 0;
    glextGenProgramsARB(1, &program);
    if (glGetError() != GL_NO_ERROR)
        return -1;
    glextBindProgramARB(GL_VERTEX_PROGRAM_ARB, program);
    if (glGetError() != GL_NO_ERROR)
    {
        glextDeleteProgramsARB(1, &program);
        return -1;
    }
    glextProgramStringARB(GL_VERTEX_PROGRAM_ARB, GL_PROGRAM_FORMAT_ASCII_ARB,
                          static_cast<GLsizei>(std::strlen(source)), source);
    if (glGetError() != GL_NO_ERROR)
    {
        GLint position = -1;
        glGetIntegerv(GL_PROGRAM_ERROR_POSITION_ARB, &position);
        NLog::WriteF("opengl: Error creating vertex shader, %d: %s\n", position,
                     TextOrEmpty(glGetString(GL_PROGRAM_ERROR_STRING_ARB)));
        glextDeleteProgramsARB(1, &program);
        return -1;
    }

    SVertexShader* shader = new SVertexShader();
    shader->glProgram = program;
    long handle = m_IndexHandler.GetFree(SID_VERTEXSHADER);
    m_IndexHandler.m_aIDs[handle].m_pData = shader;
    return handle;
}

long COpenGLDevice::CreatePixelShader(const char*)
{
    return -1;
}

bool COpenGLDevice::DestroyVertexShader(long handle)
{
    SVertexShader* shader = FindVertexShader(handle);
    if (!shader)
        return false;
    glextDeleteProgramsARB(1, &shader->glProgram);
    m_IndexHandler.Remove(handle);
    delete shader;
    return true;
}

bool COpenGLDevice::DestroyPixelShader(long)
{
    return false;
}

} // namespace NOpenGL
} // namespace N3D
} // namespace NVorn
