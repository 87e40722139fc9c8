// The device base: the handle table, buffer descriptions, uploads, the
// release of every resource, and the fixed values of the interface.
#include <cstring>
#include <memory>

#include <gtest/gtest.h>

#include "RecordingDevice.h"
#include "render/IndexBufferSW.h"
#include "render/VertexBufferSW.h"
#include "utils2d/2DUtils.h"

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
    EXPECT_EQ(b->m_pPosition[3].z + b->m_apTexCoord[0][3].y, 0.0f);
    for (long k = 0; k < 12; ++k)
        EXPECT_EQ(CVertexBuffer::GetPointerElementSize(k), k < 2 ? 12 : k == 2 ? 16 : 8);
    std::unique_ptr<CVertexBuffer> all(CreateVertexBufferSW(2, 4095, 0));
    std::unique_ptr<CIndexBuffer> indices(CreateIndexBufferSW(3, 0));
    EXPECT_EQ(all->What() + indices->m_Count, (4095 & ~8) + 3);
    EXPECT_TRUE(!CreateVertexBufferSW(-1, 4095, 0) && !CreateIndexBufferSW(-1, 0));
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
    ASSERT_TRUE(all && some);
    EXPECT_EQ(std::vector<long>({all->What(), all->m_Count, some->What(), some->m_Count}),
              std::vector<long>({STREAM_POSITION, 100, STREAM_POSITION | STREAM_TEXTURE7, 10}));
    EXPECT_EQ(std::memcmp(all->m_pPosition, source->m_pPosition, 1200), 0);
    EXPECT_EQ(std::memcmp(some->m_apTexCoord[7], source->m_apTexCoord[7], 80), 0);
    EXPECT_EQ(device.m_lCalls.back(), "UnlockVertexBuffer(1)");

    std::unique_ptr<CIndexBuffer> indices(CreateIndexBufferSW(5, 0));
    const uint16_t values[5] = {0, 65535, 7, 300, 2};
    std::memcpy(indices->m_pIndices, values, sizeof values);
    CIndexBuffer* copy = device.IndexBuffer(device.CreateIndexBuffer(indices.get(), 0));
    ASSERT_TRUE(copy && copy->m_Count == 5);
    EXPECT_EQ(std::memcmp(copy->m_pIndices, values, sizeof values), 0);
    CIndexBuffer empty, negative;
    negative.m_Count = -1;
    EXPECT_TRUE(device.CreateIndexBuffer(&empty, 0) >= 0 && device.CreateIndexBuffer(&negative, 0) == -1);

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
    device.CreateVertexBuffer(3, STREAM_POSITION, 0);
    device.CreatePixelShader("");
    device.CreateIndexBuffer(3, 0);
    device.CreateVertexShader("");
    device.m_lCalls.clear();
    device.ClearAllAllocatedIndexes();
    EXPECT_EQ(device.m_lCalls, (std::vector<std::string>{"DestroyTexture(0)", "DestroyVertexBuffer(1)",
                                "DestroyPixelShader(2)", "DestroyIndexBuffer(3)", "DestroyVertexShader(4)"}));
    EXPECT_EQ(texture, 0);
    EXPECT_EQ(device.m_IndexHandler.m_aFree.m_Length, 5);
}

// The values that back ends index tables with and that files and callers
// rely on.
TEST(CDevice, InterfaceValuesAreFixed)
{
    const long values[] = {FLAG_BLEND, FLAG_CULL, FLAG_COLORWRITE, FLAG_DEPTHTEST, FLAG_DEPTHWRITE, FLAG_STENCILTEST,
        FLAG_STENCILWRITE, FLAG_COUNT, BLEND_INVDSTALPHA, BLEND_COUNT, TEST_ALWAYS, TEST_COUNT, STENCILOP_INVERT,
        STENCILOP_COUNT, CULL_COUNT, STREAM_NORMAL, STREAM_TEXTURE5, STREAM_ALL, PRIM_QUADS, PRIM_COUNT,
        TEXFORMAT_RGBA, TEXFORMAT_ALPHA, TEXFORMAT_LUMINANCE, TEXFORMAT_COUNT, CLEAR_DEPTH, CLEAR_STENCIL,
        GRAB_DEPTH, SID_FREE, SID_PIXELSHADER, SID_INDEXBUFFER, COMPONENT_TEXCOORD0, COMPONENT_COUNT,
        MODE_DISPLAY, MODE_COUNT, MATCH_ANY, MATCH_EXACT, UTILS_LINES, BLENDMODE_ADD, long(sizeof(STextureInfo))};
    const long expected[] = {0, 1, 2, 3, 4, 5, 6, 7, 9, 10, 7, 8, 5, 6, 2, 2, 512, 0x3F7, 6, 7,
                             1, 2, 3, 4, 2, 4, 2, -1, 2, 4, 4, 12, 8, 9, -1, 2, 3, 2, 16};
    EXPECT_EQ(std::vector<long>(values, std::end(values)), std::vector<long>(expected, std::end(expected)));
    EXPECT_STREQ(aDeviceClassTag, "3D Device");
}

} // namespace
