// The device base: the handle table, buffer descriptions, uploads, the
// release of every resource, display modes, shader loading and the fixed
// values of the interface.
#include <cstring>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "LogCapture.h"
#include "RecordingDevice.h"
#include "foundation/Memory.h"
#include "render/IndexBufferSW.h"
#include "render/VertexBufferSW.h"

using namespace NVorn;
using namespace NVorn::N3D;

namespace {

// The first free handle is reused and the last free one takes its place; a
// handle outside the table or already free is ignored.
TEST(CIndexHandler, HandsOutReusesAndLooksUpHandles)
{
    CIndexHandler h;
    for (long expected = 0; expected < 4; ++expected)
        EXPECT_EQ(h.GetFree(SID_TEXTURE), expected);
    for (long handle : {3L, 0L, 2L, 4L, -1L, 2L})
        h.Remove(handle);
    EXPECT_EQ(h.m_aIDs[2].m_Type, SID_FREE);
    int object = 0;
    for (long expected : {3L, 2L, 0L, 4L})
        EXPECT_EQ(h.GetFree(SID_VERTEXBUFFER), expected);
    h.m_aIDs[2].m_pData = &object;
    EXPECT_TRUE(h.m_aIDs[0] == (CIndexHandler::SID{SID_VERTEXBUFFER, nullptr}));
    EXPECT_EQ(h.Lookup(2, SID_VERTEXBUFFER), &object);
    EXPECT_EQ(h.Lookup(2, SID_TEXTURE), nullptr);
    for (long outside : {5L, -1L})
        EXPECT_EQ(h.Lookup(outside, SID_VERTEXBUFFER), nullptr);
}

TEST(CVertexBuffer, HoldsTheComponentsOfItsFormat)
{
    std::unique_ptr<CVertexBuffer> b(CreateVertexBufferSW(4, STREAM_POSITION | STREAM_COLOR | STREAM_TEXTURE0 | 8, 0));
    EXPECT_EQ(b->What(), 21);
    const void* expected[13] = {b->m_pPosition, nullptr, b->m_pColor, nullptr, b->m_apTexCoord[0]};
    for (long k = -1; k <= 12; ++k)
        EXPECT_EQ(b->GetPointer(k), k < 0 ? nullptr : expected[k]) << k;
    EXPECT_EQ(b->m_pPosition[3].z + b->m_apTexCoord[0][3].y + b->m_pColor[15], 0.0f);
    for (long k = 0; k < 12; ++k)
        EXPECT_EQ(CVertexBuffer::GetPointerElementSize(k), k < 2 ? 12 : k == 2 ? 16 : 8);
    std::unique_ptr<CVertexBuffer> all(CreateVertexBufferSW(2, -1, 0));   // other bits ask for nothing
    std::unique_ptr<CIndexBuffer> indices(CreateIndexBufferSW(3, 0));
    EXPECT_EQ(all->What() + indices->m_Count + CVertexBuffer().m_Count + CVertexBuffer().What(), (4095 & ~8) + 3); // a new one is empty
    EXPECT_TRUE(!CreateVertexBufferSW(-1, 4095, 0) && !CreateIndexBufferSW(-1, 0) &&
                std::unique_ptr<CVertexBuffer>(CreateVertexBufferSW(1, STREAM_COLOR | STREAM_TEXTURE4, 0))->What() == 260);
}

// Only components both in the source and in the mask are copied, and only
// the vertices asked for; a failure anywhere leaves no buffer behind.
TEST(CDevice, UploadsCopyWhatWasAskedOrLeaveNothing)
{
    NTest::CRecordingDevice device, failing;
    std::unique_ptr<CVertexBuffer> source(CreateVertexBufferSW(100, STREAM_POSITION | STREAM_TEXTURE7, 0));
    for (long i = 0; i < 100; ++i)
        source->m_pPosition[i] = TVector3<float>(i, i + 0.5f, -i), source->m_apTexCoord[7][i] = TVector2<float>(i, 1);
    CVertexBuffer* all = device.VertexBuffer(device.CreateVertexBuffer(source.get(), -1, STREAM_ALL));
    CVertexBuffer* some = device.VertexBuffer(device.CreateVertexBuffer(source.get(), 10, 4095));
    ASSERT_TRUE(all && some && device.CreateVertexBuffer(source.get(), 0, STREAM_ALL) == 2); // none at all
    EXPECT_EQ(std::vector<long>({all->What(), all->m_Count, some->What(), some->m_Count, device.VertexBuffer(2)->m_Count,
                                 device.m_ClearStencil}),
              std::vector<long>({STREAM_POSITION, 100, STREAM_POSITION | STREAM_TEXTURE7, 10, 0, 0}));
    EXPECT_EQ(std::memcmp(all->m_pPosition, source->m_pPosition, 1200), 0);
    EXPECT_EQ(std::memcmp(some->m_apTexCoord[7], source->m_apTexCoord[7], 80), 0);
    EXPECT_EQ(device.m_lCalls[3] + device.m_lCalls.back(), "CreateVertexBuffer(10,2049,0)UnlockVertexBuffer(2)");

    std::unique_ptr<CIndexBuffer> indices(CreateIndexBufferSW(5, 0));
    const uint16_t values[5] = {0, 65535, 7, 300, 2};
    std::memcpy(indices->m_pIndices, values, sizeof values);
    CIndexBuffer* copy = device.IndexBuffer(device.CreateIndexBuffer(indices.get(), 0));
    ASSERT_TRUE(copy && copy->m_Count == 5 && device.m_lCalls.back() == "UnlockIndexBuffer(3)");
    EXPECT_EQ(std::memcmp(copy->m_pIndices, values, sizeof values), 0);
    CIndexBuffer empty;
    EXPECT_TRUE(device.CreateIndexBuffer(&empty, 0) >= 0 && (empty.m_Count = -1, device.CreateIndexBuffer(&empty, 0) == -1));

    EXPECT_EQ(failing.CreateVertexBuffer(source.get(), 101, STREAM_ALL) + failing.CreateIndexBuffer(nullptr, 0) +
              failing.CreateVertexBuffer(nullptr, -1, STREAM_ALL), -3);
    EXPECT_TRUE(failing.m_lCalls.empty());
    failing.m_bFailCreate = true;
    EXPECT_EQ(failing.CreateVertexBuffer(source.get(), -1, STREAM_ALL), -1);
    failing.m_bFailCreate = false, failing.m_bFailLock = true;
    EXPECT_EQ(failing.CreateVertexBuffer(source.get(), -1, STREAM_ALL) + failing.CreateIndexBuffer(indices.get(), 0), -2);
    EXPECT_EQ(failing.m_IndexHandler.m_aFree.m_Length, 1);
    EXPECT_EQ(failing.m_lCalls.back(), "DestroyIndexBuffer(0)");
}

TEST(CDevice, ClearAllDestroysEachLiveResourceOnce)
{
    NTest::CRecordingDevice device;
    long texture = device.CreateTexture(4, 4, TEXFORMAT_RGBA);
    ASSERT_TRUE(device.DestroyTexture(device.CreateTexture(4, 4, TEXFORMAT_RGB)));
    device.CreateVertexBuffer(3, STREAM_POSITION, 0), device.CreatePixelShader("");
    device.CreateIndexBuffer(3, 0), device.CreateVertexShader("");
    device.m_lCalls.clear(), device.ClearAllAllocatedIndexes();
    EXPECT_EQ(device.m_lCalls, (std::vector<std::string>{"DestroyTexture(0)", "DestroyVertexBuffer(1)",
                                "DestroyPixelShader(2)", "DestroyIndexBuffer(3)", "DestroyVertexShader(4)"}));
    EXPECT_EQ(texture, 0);
    EXPECT_EQ(device.m_IndexHandler.m_aFree.m_Length, 5);
    EXPECT_EQ(device.GetVertexShaderCapabilities() | device.GetPixelShaderCapabilities(), 0); // none by default
}

// The values that back ends index tables with and that files and callers
// rely on.
TEST(CDevice, InterfaceValuesAreFixed)
{
    const long values[] = {FLAG_BLEND, FLAG_CULL, FLAG_COLORWRITE, FLAG_DEPTHTEST, FLAG_DEPTHWRITE, FLAG_STENCILTEST,
        FLAG_STENCILWRITE, FLAG_COUNT, BLEND_INVSRCALPHA, BLEND_DSTCOLOR, BLEND_INVDSTALPHA, BLEND_COUNT, TEST_ALWAYS,
        TEST_COUNT, STENCILOP_INVERT, STENCILOP_COUNT, CULL_COUNT, STREAM_NORMAL, STREAM_TEXTURE0 | STREAM_TEXTURE1
        | STREAM_TEXTURE2 | STREAM_TEXTURE3 | STREAM_TEXTURE4 | STREAM_TEXTURE5 | STREAM_TEXTURE6 | STREAM_TEXTURE7,
        STREAM_ALL, PRIM_POINTS, PRIM_LINES, PRIM_LINESTRIP, PRIM_TRIANGLES, PRIM_TRIANGLESTRIP, PRIM_TRIANGLEFAN, PRIM_QUADS,
        PRIM_COUNT, TEXFORMAT_RGB, TEXFORMAT_RGBA, TEXFORMAT_ALPHA, TEXFORMAT_LUMINANCE, TEXFORMAT_COUNT, CLEAR_COLOR,
        CLEAR_DEPTH, CLEAR_STENCIL, GRAB_COLOR, GRAB_DEPTH, SID_FREE, SID_PIXELSHADER, SID_INDEXBUFFER, COMPONENT_TEXCOORD0,
        COMPONENT_COUNT, MODE_DISPLAY, MODE_PARAM5, MODE_PARAM6, MODE_PARAM7, MODE_COUNT, MATCH_ANY, MATCH_POSITIVE, MATCH_EXACT,
        long(sizeof(STextureInfo))};
    const long expected[] = {0, 1, 2, 3, 4, 5, 6, 7, 5, 6, 9, 10, 7, 8, 5, 6, 2, 2, 0xFF0, 0x3F7, 0, 1, 2, 3, 4, 5, 6, 7,
                             0, 1, 2, 3, 4, 1, 2, 4, 1, 2, -1, 2, 4, 4, 12, 8, 5, 6, 7, 9, -1, 1, 2, 16};
    EXPECT_EQ(std::vector<long>(values, std::end(values)), std::vector<long>(expected, std::end(expected)));
    EXPECT_STREQ(aDeviceClassTag, "3D Device");
}

// A concrete mode as a display offers it: every parameter exact.
CMode Offered(long width, long height, long refresh, long fullscreen, long bits, long param6 = 32, long display = 0)
{
    const long values[MODE_COUNT] = {width, height, refresh, fullscreen, bits, 8, param6, 0, display};
    CMode mode;
    for (int i = 0; i < MODE_COUNT; ++i)
        mode.m_aParameters[i] = CMode::SParameter{values[i], MATCH_EXACT};
    return mode;
}

// Only the request's kind of each parameter counts; Compare looks at values
// and kinds alike.
TEST(CMode, RequestAcceptsByKindOfEachParameter)
{
    CMode request(640, 480, false, 0), positive = request, empty, unknown;
    positive.m_aParameters[MODE_REFRESHRATE] = CMode::SParameter{0, MATCH_POSITIVE};
    unknown.m_aParameters[MODE_PARAM7].m_Match = 0;
    const struct { const CMode& request; CMode candidate; bool accepted; } cases[] = {
        {request, Offered(640, 480, -1, 0, -1, 16), true}, {request, Offered(800, 480, 60, 0, 32), false},
        {request, Offered(640, 400, 60, 0, 32), false}, {request, Offered(640, 480, 60, 1, 32), false},
        {request, Offered(640, 480, 60, 0, 32, 32, 1), false},
        {positive, Offered(640, 480, 1, 0, 32), true}, {positive, Offered(640, 480, 0, 0, 32), false},
        {empty, Offered(1, 2, 3, 1, 4), true}, {unknown, Offered(1, 2, 3, 1, 4), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.request.Acceptable(c.candidate), c.accepted);
    CMode loose = Offered(640, 480, 60, 0, 32), other = loose, cleared(1, 2, true, 0);
    loose.m_aParameters[MODE_WIDTH].m_Match = 0;
    other.m_aParameters[MODE_DISPLAY].m_Value = 1;
    cleared.Clear();
    EXPECT_TRUE(request.Acceptable(loose) && cleared.Compare(CMode()));
    EXPECT_FALSE(loose.Compare(Offered(640, 480, 60, 0, 32)) || other.Compare(Offered(640, 480, 60, 0, 32)));
}

// Refresh rate first, whatever the depth; then depth; then parameter 6. Of
// candidates equal but for the display, the one left at index 0 wins; a
// removal moves the last candidate into the removed one's slot.
TEST(CDeviceBestMode, PrefersLargerValuesByPriority)
{
    NTest::CRecordingDevice device;
    CMode any(640, 480, false, 0);
    any.m_aParameters[MODE_DISPLAY].m_Match = MATCH_ANY;
    const struct { std::vector<CMode> offered; CMode best; } cases[] = {
        {{Offered(640, 480, 75, 0, 16), Offered(640, 480, 60, 0, 32), Offered(800, 600, 85, 0, 32)},
         Offered(640, 480, 75, 0, 16)},
        {{Offered(640, 480, 60, 0, 16, 32), Offered(640, 480, 60, 0, 32, 16), Offered(640, 480, 60, 0, 32, 32)},
         Offered(640, 480, 60, 0, 32, 32)},
        {{Offered(640, 480, 60, 0, 32, 32, 2), Offered(640, 480, 60, 0, 32, 32, 0), Offered(640, 480, 60, 0, 32, 32, 1)},
         Offered(640, 480, 60, 0, 32, 32, 2)},
        {{Offered(640, 480, 60, 0, 32, 32, 0), Offered(640, 480, 75, 0, 32, 32, 1), Offered(640, 480, 75, 0, 32, 32, 2)},
         Offered(640, 480, 75, 0, 32, 32, 2)},
        {{Offered(640, 480, -1, 0, 32)}, Offered(640, 480, -1, 0, 32)}, // the only mode, with no refresh rate
    };
    NTest::CLogCapture log;
    for (const auto& c : cases)
    {
        device.m_lOfferedModes = c.offered;
        CMode best;
        ASSERT_TRUE(device.GetBestMode(any, best));
        EXPECT_TRUE(best.Compare(c.best));
    }
    EXPECT_EQ(log.m_Text.substr(0, 67), "3ddevice: Best mode:  640  480   75    0   16    8   32    0    0 \n");

    // Nothing acceptable, or values below the -1 every pass starts from.
    CMode untouched = Offered(1, 1, 1, 1, 1), best = untouched;
    log.m_Text.clear();
    for (CMode offered : {Offered(800, 600, 60, 0, 32), Offered(640, 480, -5, 0, 32)})
    {
        device.m_lOfferedModes = {offered};
        EXPECT_FALSE(device.GetBestMode(any, best));
    }
    EXPECT_TRUE(best.Compare(untouched) && log.m_Text.empty() && device.CheckMode(untouched));
}

// A stream that announces more bytes than it delivers.
class CShortMemory : public CMemory
{
public:
    using CMemory::CMemory;
    long GetSize() override { return CMemory::GetSize() + 100; }
};

// The fuzz target's kept inputs check the loader against a line-by-line
// reading; these pin the exact text of the first supported block.
TEST(CDeviceLoadShader, ReturnsTheFirstSupportedBlockExactly)
{
    NTest::CRecordingDevice device;
    device.m_aShaderProfiles.Append(CString("fp40")), device.m_aShaderProfiles.Append(CString("ARBvp1_0"));
    const std::string cases[][2] = {
        {"ARBvp1_0\n{\n  !!ARBvp1.0\nEND\n}\n", "!!ARBvp1.0\nEND\n"},
        {"ARBvp1_0\n{ rest\n\t MOV r0, r1;  \n\n \t\nEND\n}", "MOV r0, r1;  \n\n\nEND\n"},
        {"ps_3_0\n{\nA\n}\nARBvp1_0\n{\nB\n}\nfp40\n{\nC\n}\n", "B\n"},
        {"ARBvp1_0\n{\nA\n  }\nB\n}\n", "A\n}\nB\n"},
    };
    for (const auto& c : cases)
    {
        CMemory file((void*)c[0].data(), long(c[0].size()));
        CString source = device.LoadShader(file);
        EXPECT_EQ(std::string(source.m_pData, source.m_Size - 1), c[1]) << c[0];
    }

    char text[] = "ARBvp1_0\n{\nA\n}\n";
    CShortMemory shortFile(text, sizeof text - 1);
    EXPECT_TRUE(device.LoadShader(shortFile) == "A\n");
    device.m_aShaderProfiles.Clear();
    CMemory file(text, sizeof text - 1);
    EXPECT_TRUE(device.LoadShader(file) == "");
}

} // namespace
