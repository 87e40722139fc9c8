#include "render/opengl/GLExt.h"

#include <dlfcn.h>

#include <cstring>

PFNGLACTIVETEXTUREARBPROC glextActiveTextureARB = nullptr;
PFNGLCLIENTACTIVETEXTUREARBPROC glextClientActiveTextureARB = nullptr;
PFNGLMULTITEXCOORD1DARBPROC glextMultiTexCoord1dARB = nullptr;
PFNGLMULTITEXCOORD1DVARBPROC glextMultiTexCoord1dvARB = nullptr;
PFNGLMULTITEXCOORD1FARBPROC glextMultiTexCoord1fARB = nullptr;
PFNGLMULTITEXCOORD1FVARBPROC glextMultiTexCoord1fvARB = nullptr;
PFNGLMULTITEXCOORD1IARBPROC glextMultiTexCoord1iARB = nullptr;
PFNGLMULTITEXCOORD1IVARBPROC glextMultiTexCoord1ivARB = nullptr;
PFNGLMULTITEXCOORD1SARBPROC glextMultiTexCoord1sARB = nullptr;
PFNGLMULTITEXCOORD1SVARBPROC glextMultiTexCoord1svARB = nullptr;
PFNGLMULTITEXCOORD2DARBPROC glextMultiTexCoord2dARB = nullptr;
PFNGLMULTITEXCOORD2DVARBPROC glextMultiTexCoord2dvARB = nullptr;
PFNGLMULTITEXCOORD2FARBPROC glextMultiTexCoord2fARB = nullptr;
PFNGLMULTITEXCOORD2FVARBPROC glextMultiTexCoord2fvARB = nullptr;
PFNGLMULTITEXCOORD2IARBPROC glextMultiTexCoord2iARB = nullptr;
PFNGLMULTITEXCOORD2IVARBPROC glextMultiTexCoord2ivARB = nullptr;
PFNGLMULTITEXCOORD2SARBPROC glextMultiTexCoord2sARB = nullptr;
PFNGLMULTITEXCOORD2SVARBPROC glextMultiTexCoord2svARB = nullptr;
PFNGLMULTITEXCOORD3DARBPROC glextMultiTexCoord3dARB = nullptr;
PFNGLMULTITEXCOORD3DVARBPROC glextMultiTexCoord3dvARB = nullptr;
PFNGLMULTITEXCOORD3FARBPROC glextMultiTexCoord3fARB = nullptr;
PFNGLMULTITEXCOORD3FVARBPROC glextMultiTexCoord3fvARB = nullptr;
PFNGLMULTITEXCOORD3IARBPROC glextMultiTexCoord3iARB = nullptr;
PFNGLMULTITEXCOORD3IVARBPROC glextMultiTexCoord3ivARB = nullptr;
PFNGLMULTITEXCOORD3SARBPROC glextMultiTexCoord3sARB = nullptr;
PFNGLMULTITEXCOORD3SVARBPROC glextMultiTexCoord3svARB = nullptr;
PFNGLMULTITEXCOORD4DARBPROC glextMultiTexCoord4dARB = nullptr;
PFNGLMULTITEXCOORD4DVARBPROC glextMultiTexCoord4dvARB = nullptr;
PFNGLMULTITEXCOORD4FARBPROC glextMultiTexCoord4fARB = nullptr;
PFNGLMULTITEXCOORD4FVARBPROC glextMultiTexCoord4fvARB = nullptr;
PFNGLMULTITEXCOORD4IARBPROC glextMultiTexCoord4iARB = nullptr;
PFNGLMULTITEXCOORD4IVARBPROC glextMultiTexCoord4ivARB = nullptr;
PFNGLMULTITEXCOORD4SARBPROC glextMultiTexCoord4sARB = nullptr;
PFNGLMULTITEXCOORD4SVARBPROC glextMultiTexCoord4svARB = nullptr;

PFNGLVERTEXATTRIB1SARBPROC glextVertexAttrib1sARB = nullptr;
PFNGLVERTEXATTRIB1FARBPROC glextVertexAttrib1fARB = nullptr;
PFNGLVERTEXATTRIB1DARBPROC glextVertexAttrib1dARB = nullptr;
PFNGLVERTEXATTRIB2SARBPROC glextVertexAttrib2sARB = nullptr;
PFNGLVERTEXATTRIB2FARBPROC glextVertexAttrib2fARB = nullptr;
PFNGLVERTEXATTRIB2DARBPROC glextVertexAttrib2dARB = nullptr;
PFNGLVERTEXATTRIB3SARBPROC glextVertexAttrib3sARB = nullptr;
PFNGLVERTEXATTRIB3FARBPROC glextVertexAttrib3fARB = nullptr;
PFNGLVERTEXATTRIB3DARBPROC glextVertexAttrib3dARB = nullptr;
PFNGLVERTEXATTRIB4SARBPROC glextVertexAttrib4sARB = nullptr;
PFNGLVERTEXATTRIB4FARBPROC glextVertexAttrib4fARB = nullptr;
PFNGLVERTEXATTRIB4DARBPROC glextVertexAttrib4dARB = nullptr;
PFNGLVERTEXATTRIB4NUBARBPROC glextVertexAttrib4NubARB = nullptr;
PFNGLVERTEXATTRIB1SVARBPROC glextVertexAttrib1svARB = nullptr;
PFNGLVERTEXATTRIB1FVARBPROC glextVertexAttrib1fvARB = nullptr;
PFNGLVERTEXATTRIB1DVARBPROC glextVertexAttrib1dvARB = nullptr;
PFNGLVERTEXATTRIB2SVARBPROC glextVertexAttrib2svARB = nullptr;
PFNGLVERTEXATTRIB2FVARBPROC glextVertexAttrib2fvARB = nullptr;
PFNGLVERTEXATTRIB2DVARBPROC glextVertexAttrib2dvARB = nullptr;
PFNGLVERTEXATTRIB3SVARBPROC glextVertexAttrib3svARB = nullptr;
PFNGLVERTEXATTRIB3FVARBPROC glextVertexAttrib3fvARB = nullptr;
PFNGLVERTEXATTRIB3DVARBPROC glextVertexAttrib3dvARB = nullptr;
PFNGLVERTEXATTRIB4BVARBPROC glextVertexAttrib4bvARB = nullptr;
PFNGLVERTEXATTRIB4SVARBPROC glextVertexAttrib4svARB = nullptr;
PFNGLVERTEXATTRIB4IVARBPROC glextVertexAttrib4ivARB = nullptr;
PFNGLVERTEXATTRIB4UBVARBPROC glextVertexAttrib4ubvARB = nullptr;
PFNGLVERTEXATTRIB4USVARBPROC glextVertexAttrib4usvARB = nullptr;
PFNGLVERTEXATTRIB4UIVARBPROC glextVertexAttrib4uivARB = nullptr;
PFNGLVERTEXATTRIB4FVARBPROC glextVertexAttrib4fvARB = nullptr;
PFNGLVERTEXATTRIB4DVARBPROC glextVertexAttrib4dvARB = nullptr;
PFNGLVERTEXATTRIB4NBVARBPROC glextVertexAttrib4NbvARB = nullptr;
PFNGLVERTEXATTRIB4NSVARBPROC glextVertexAttrib4NsvARB = nullptr;
PFNGLVERTEXATTRIB4NIVARBPROC glextVertexAttrib4NivARB = nullptr;
PFNGLVERTEXATTRIB4NUBVARBPROC glextVertexAttrib4NubvARB = nullptr;
PFNGLVERTEXATTRIB4NUSVARBPROC glextVertexAttrib4NusvARB = nullptr;
PFNGLVERTEXATTRIB4NUIVARBPROC glextVertexAttrib4NuivARB = nullptr;
PFNGLVERTEXATTRIBPOINTERARBPROC glextVertexAttribPointerARB = nullptr;
PFNGLENABLEVERTEXATTRIBARRAYARBPROC glextEnableVertexAttribArrayARB = nullptr;
PFNGLDISABLEVERTEXATTRIBARRAYARBPROC glextDisableVertexAttribArrayARB = nullptr;
PFNGLPROGRAMSTRINGARBPROC glextProgramStringARB = nullptr;
PFNGLBINDPROGRAMARBPROC glextBindProgramARB = nullptr;
PFNGLDELETEPROGRAMSARBPROC glextDeleteProgramsARB = nullptr;
PFNGLGENPROGRAMSARBPROC glextGenProgramsARB = nullptr;
PFNGLPROGRAMENVPARAMETER4DARBPROC glextProgramEnvParameter4dARB = nullptr;
PFNGLPROGRAMENVPARAMETER4DVARBPROC glextProgramEnvParameter4dvARB = nullptr;
PFNGLPROGRAMENVPARAMETER4FARBPROC glextProgramEnvParameter4fARB = nullptr;
PFNGLPROGRAMENVPARAMETER4FVARBPROC glextProgramEnvParameter4fvARB = nullptr;
PFNGLPROGRAMLOCALPARAMETER4DARBPROC glextProgramLocalParameter4dARB = nullptr;
PFNGLPROGRAMLOCALPARAMETER4DVARBPROC glextProgramLocalParameter4dvARB = nullptr;
PFNGLPROGRAMLOCALPARAMETER4FARBPROC glextProgramLocalParameter4fARB = nullptr;
PFNGLPROGRAMLOCALPARAMETER4FVARBPROC glextProgramLocalParameter4fvARB = nullptr;
PFNGLGETPROGRAMENVPARAMETERDVARBPROC glextGetProgramEnvParameterdvARB = nullptr;
PFNGLGETPROGRAMENVPARAMETERFVARBPROC glextGetProgramEnvParameterfvARB = nullptr;
PFNGLGETPROGRAMLOCALPARAMETERDVARBPROC glextGetProgramLocalParameterdvARB = nullptr;
PFNGLGETPROGRAMLOCALPARAMETERFVARBPROC glextGetProgramLocalParameterfvARB = nullptr;
PFNGLGETPROGRAMIVARBPROC glextGetProgramivARB = nullptr;
PFNGLGETPROGRAMSTRINGARBPROC glextGetProgramStringARB = nullptr;
PFNGLGETVERTEXATTRIBDVARBPROC glextGetVertexAttribdvARB = nullptr;
PFNGLGETVERTEXATTRIBFVARBPROC glextGetVertexAttribfvARB = nullptr;
PFNGLGETVERTEXATTRIBIVARBPROC glextGetVertexAttribivARB = nullptr;
PFNGLGETVERTEXATTRIBPOINTERVARBPROC glextGetVertexAttribPointervARB = nullptr;
PFNGLISPROGRAMARBPROC glextIsProgramARB = nullptr;

namespace
{

// One entry point: its OpenGL name and the address of its glext pointer.
// The pointers differ in type, so the table holds them as untyped addresses
// and copies the looked-up address in byte for byte.
struct SEntryPoint
{
    const char* m_pName;
    void* m_pSlot;
};

static_assert(sizeof(void*) == sizeof(PFNGLACTIVETEXTUREARBPROC),
              "function pointers are stored through untyped addresses");

const SEntryPoint aMultitexture[] = {
    { "glActiveTextureARB", &glextActiveTextureARB },
    { "glClientActiveTextureARB", &glextClientActiveTextureARB },
    { "glMultiTexCoord1dARB", &glextMultiTexCoord1dARB },
    { "glMultiTexCoord1dvARB", &glextMultiTexCoord1dvARB },
    { "glMultiTexCoord1fARB", &glextMultiTexCoord1fARB },
    { "glMultiTexCoord1fvARB", &glextMultiTexCoord1fvARB },
    { "glMultiTexCoord1iARB", &glextMultiTexCoord1iARB },
    { "glMultiTexCoord1ivARB", &glextMultiTexCoord1ivARB },
    { "glMultiTexCoord1sARB", &glextMultiTexCoord1sARB },
    { "glMultiTexCoord1svARB", &glextMultiTexCoord1svARB },
    { "glMultiTexCoord2dARB", &glextMultiTexCoord2dARB },
    { "glMultiTexCoord2dvARB", &glextMultiTexCoord2dvARB },
    { "glMultiTexCoord2fARB", &glextMultiTexCoord2fARB },
    { "glMultiTexCoord2fvARB", &glextMultiTexCoord2fvARB },
    { "glMultiTexCoord2iARB", &glextMultiTexCoord2iARB },
    { "glMultiTexCoord2ivARB", &glextMultiTexCoord2ivARB },
    { "glMultiTexCoord2sARB", &glextMultiTexCoord2sARB },
    { "glMultiTexCoord2svARB", &glextMultiTexCoord2svARB },
    { "glMultiTexCoord3dARB", &glextMultiTexCoord3dARB },
    { "glMultiTexCoord3dvARB", &glextMultiTexCoord3dvARB },
    { "glMultiTexCoord3fARB", &glextMultiTexCoord3fARB },
    { "glMultiTexCoord3fvARB", &glextMultiTexCoord3fvARB },
    { "glMultiTexCoord3iARB", &glextMultiTexCoord3iARB },
    { "glMultiTexCoord3ivARB", &glextMultiTexCoord3ivARB },
    { "glMultiTexCoord3sARB", &glextMultiTexCoord3sARB },
    { "glMultiTexCoord3svARB", &glextMultiTexCoord3svARB },
    { "glMultiTexCoord4dARB", &glextMultiTexCoord4dARB },
    { "glMultiTexCoord4dvARB", &glextMultiTexCoord4dvARB },
    { "glMultiTexCoord4fARB", &glextMultiTexCoord4fARB },
    { "glMultiTexCoord4fvARB", &glextMultiTexCoord4fvARB },
    { "glMultiTexCoord4iARB", &glextMultiTexCoord4iARB },
    { "glMultiTexCoord4ivARB", &glextMultiTexCoord4ivARB },
    { "glMultiTexCoord4sARB", &glextMultiTexCoord4sARB },
    { "glMultiTexCoord4svARB", &glextMultiTexCoord4svARB },
};

const SEntryPoint aVertexProgram[] = {
    { "glVertexAttrib1sARB", &glextVertexAttrib1sARB },
    { "glVertexAttrib1fARB", &glextVertexAttrib1fARB },
    { "glVertexAttrib1dARB", &glextVertexAttrib1dARB },
    { "glVertexAttrib2sARB", &glextVertexAttrib2sARB },
    { "glVertexAttrib2fARB", &glextVertexAttrib2fARB },
    { "glVertexAttrib2dARB", &glextVertexAttrib2dARB },
    { "glVertexAttrib3sARB", &glextVertexAttrib3sARB },
    { "glVertexAttrib3fARB", &glextVertexAttrib3fARB },
    { "glVertexAttrib3dARB", &glextVertexAttrib3dARB },
    { "glVertexAttrib4sARB", &glextVertexAttrib4sARB },
    { "glVertexAttrib4fARB", &glextVertexAttrib4fARB },
    { "glVertexAttrib4dARB", &glextVertexAttrib4dARB },
    { "glVertexAttrib4NubARB", &glextVertexAttrib4NubARB },
    { "glVertexAttrib1svARB", &glextVertexAttrib1svARB },
    { "glVertexAttrib1fvARB", &glextVertexAttrib1fvARB },
    { "glVertexAttrib1dvARB", &glextVertexAttrib1dvARB },
    { "glVertexAttrib2svARB", &glextVertexAttrib2svARB },
    { "glVertexAttrib2fvARB", &glextVertexAttrib2fvARB },
    { "glVertexAttrib2dvARB", &glextVertexAttrib2dvARB },
    { "glVertexAttrib3svARB", &glextVertexAttrib3svARB },
    { "glVertexAttrib3fvARB", &glextVertexAttrib3fvARB },
    { "glVertexAttrib3dvARB", &glextVertexAttrib3dvARB },
    { "glVertexAttrib4bvARB", &glextVertexAttrib4bvARB },
    { "glVertexAttrib4svARB", &glextVertexAttrib4svARB },
    { "glVertexAttrib4ivARB", &glextVertexAttrib4ivARB },
    { "glVertexAttrib4ubvARB", &glextVertexAttrib4ubvARB },
    { "glVertexAttrib4usvARB", &glextVertexAttrib4usvARB },
    { "glVertexAttrib4uivARB", &glextVertexAttrib4uivARB },
    { "glVertexAttrib4fvARB", &glextVertexAttrib4fvARB },
    { "glVertexAttrib4dvARB", &glextVertexAttrib4dvARB },
    { "glVertexAttrib4NbvARB", &glextVertexAttrib4NbvARB },
    { "glVertexAttrib4NsvARB", &glextVertexAttrib4NsvARB },
    { "glVertexAttrib4NivARB", &glextVertexAttrib4NivARB },
    { "glVertexAttrib4NubvARB", &glextVertexAttrib4NubvARB },
    { "glVertexAttrib4NusvARB", &glextVertexAttrib4NusvARB },
    { "glVertexAttrib4NuivARB", &glextVertexAttrib4NuivARB },
    { "glVertexAttribPointerARB", &glextVertexAttribPointerARB },
    { "glEnableVertexAttribArrayARB", &glextEnableVertexAttribArrayARB },
    { "glDisableVertexAttribArrayARB", &glextDisableVertexAttribArrayARB },
    { "glProgramStringARB", &glextProgramStringARB },
    { "glBindProgramARB", &glextBindProgramARB },
    { "glDeleteProgramsARB", &glextDeleteProgramsARB },
    { "glGenProgramsARB", &glextGenProgramsARB },
    { "glProgramEnvParameter4dARB", &glextProgramEnvParameter4dARB },
    { "glProgramEnvParameter4dvARB", &glextProgramEnvParameter4dvARB },
    { "glProgramEnvParameter4fARB", &glextProgramEnvParameter4fARB },
    { "glProgramEnvParameter4fvARB", &glextProgramEnvParameter4fvARB },
    { "glProgramLocalParameter4dARB", &glextProgramLocalParameter4dARB },
    { "glProgramLocalParameter4dvARB", &glextProgramLocalParameter4dvARB },
    { "glProgramLocalParameter4fARB", &glextProgramLocalParameter4fARB },
    { "glProgramLocalParameter4fvARB", &glextProgramLocalParameter4fvARB },
    { "glGetProgramEnvParameterdvARB", &glextGetProgramEnvParameterdvARB },
    { "glGetProgramEnvParameterfvARB", &glextGetProgramEnvParameterfvARB },
    { "glGetProgramLocalParameterdvARB", &glextGetProgramLocalParameterdvARB },
    { "glGetProgramLocalParameterfvARB", &glextGetProgramLocalParameterfvARB },
    { "glGetProgramivARB", &glextGetProgramivARB },
    { "glGetProgramStringARB", &glextGetProgramStringARB },
    { "glGetVertexAttribdvARB", &glextGetVertexAttribdvARB },
    { "glGetVertexAttribfvARB", &glextGetVertexAttribfvARB },
    { "glGetVertexAttribivARB", &glextGetVertexAttribivARB },
    { "glGetVertexAttribPointervARB", &glextGetVertexAttribPointervARB },
    { "glIsProgramARB", &glextIsProgramARB },
};

GLExtResolver m_pResolver = GLExtInit_GetProcAddress;

void StoreAddress(const SEntryPoint& entry, void* address)
{
    std::memcpy(entry.m_pSlot, &address, sizeof address);
}

void* LoadAddress(const SEntryPoint& entry)
{
    void* address;
    std::memcpy(&address, entry.m_pSlot, sizeof address);
    return address;
}

// Looks up every name before testing any pointer, so one missing entry point
// never keeps the later ones from being resolved.
template <size_t N>
bool ResolveAll(const SEntryPoint (&entries)[N])
{
    for (const SEntryPoint& entry : entries)
        StoreAddress(entry, m_pResolver(entry.m_pName));
    for (const SEntryPoint& entry : entries)
    {
        if (!LoadAddress(entry))
            return false;
    }
    return true;
}

}  // namespace

void* GLExtInit_GetProcAddress(const char* name)
{
    return dlsym(RTLD_DEFAULT, name);
}

GLExtResolver GLExtInit_SetResolver(GLExtResolver resolver)
{
    GLExtResolver previous = m_pResolver;
    m_pResolver = resolver ? resolver : GLExtInit_GetProcAddress;
    return previous;
}

bool GLExtInit_arb_multitexture()
{
    return ResolveAll(aMultitexture);
}

bool GLExtInit_arb_vertex_program()
{
    return ResolveAll(aVertexProgram);
}
