// The device base: the handle table, heap buffers, uploads and the release
// of every resource.
#include <cstring>
#include <memory>

#include <gtest/gtest.h>

#include "RecordingDevice.h"
#include "render/Device.h"
#include "render/IndexBufferSW.h"
#include "render/VertexBufferSW.h"

using namespace NVorn;
using namespace NVorn::N3D;
using NVorn::NTest::CRecordingDevice;

namespace {

// The first free handle is reused and the last free one takes its place.
TEST(CIndexHandler, HandsOutAndReusesHandlesInOrder)
{
    CIndexHandler h;
    for (long expected = 0; expected < 4; ++expected)
        EXPECT_EQ(h.GetFree(SID_TEXTURE), expected);
    h.Remove(1);
    EXPECT_EQ(h.m_aIDs[1].m_Type, SID_FREE);
    EXPECT_EQ(h.GetFree(SID_VERTEXBUFFER), 1);
    EXPECT_EQ(h.m_aIDs[1].m_Type, SID_VERTEXBUFFER);
    EXPECT_EQ(h.m_aIDs[1].m_pData, nullptr);

    // Free [3, 0, 2] gives 3, 2, 0.
    h.Remove(3);
    h.Remove(0);
    h.Remove(2);
    EXPECT_EQ(h.GetFree(SID_TEXTURE), 3);
    EXPECT_EQ(h.GetFree(SID_TEXTURE), 2);
    EXPECT_EQ(h.GetFree(SID_TEXTURE), 0);
    EXPECT_EQ(h.m_aIDs.m_Length, 4);

    // Handles outside the table are ignored, and freeing twice must not let
    // one handle go to two resources.
    h.Remove(4);
    h.Remove(-1);
    h.Remove(1);
    h.Remove(1);
    EXPECT_EQ(h.m_aFree.m_Length, 1);
    EXPECT_EQ(h.GetFree(SID_TEXTURE), 1);
    EXPECT_EQ(h.GetFree(SID_TEXTURE), 4);

    int object = 0;
    h.m_aIDs[2].m_pData = &object;
    EXPECT_EQ(h.Lookup(2, SID_TEXTURE), &object);
    EXPECT_EQ(h.Lookup(2, SID_VERTEXBUFFER), nullptr);
    EXPECT_EQ(h.Lookup(5, SID_TEXTURE), nullptr);
    EXPECT_EQ(h.Lookup(-1, SID_TEXTURE), nullptr);
}

TEST(CIndexHandler, TableAndFreeListGrowByTen)
{
    CIndexHandler h;
    EXPECT_EQ(h.m_aIDs.m_Capacity, 1);
    h.GetFree(SID_TEXTURE);
    EXPECT_EQ(h.m_aIDs.m_Capacity, 1);
    h.GetFree(SID_TEXTURE);
    EXPECT_EQ(h.m_aIDs.m_Capacity, 11);
    for (int i = 2; i < 12; ++i)
        h.GetFree(SID_TEXTURE);
    EXPECT_EQ(h.m_aIDs.m_Capacity, 21);

    EXPECT_EQ(h.m_aFree.m_Capacity, 1);
    h.Remove(0);
    EXPECT_EQ(h.m_aFree.m_Capacity, 1);
    h.Remove(1);
    EXPECT_EQ(h.m_aFree.m_Capacity, 11);
    for (int i = 2; i < 12; ++i)
        h.Remove(i);
    EXPECT_EQ(h.m_aFree.m_Capacity, 21);
}

TEST(CVertexBuffer, HoldsTheComponentsOfItsMask)
{
    std::unique_ptr<CVertexBuffer> b(
        CreateVertexBufferSW(4, STREAM_POSITION | STREAM_COLOR | STREAM_TEXTURE0 | 8, 0));
    EXPECT_EQ(b->What(), 21);
    EXPECT_EQ(b->GetPointer(0), b->m_pPosition);
    EXPECT_EQ(b->GetPointer(2), b->m_pColor);
    EXPECT_EQ(b->GetPointer(4), b->m_apTexCoord[0]);
    EXPECT_EQ(b->GetPointer(1), nullptr);
    EXPECT_EQ(b->GetPointer(3), nullptr);
    EXPECT_EQ(b->GetPointer(12), nullptr);
    EXPECT_EQ(b->GetPointer(-1), nullptr);
    EXPECT_EQ(b->m_pPosition[3].z, 0.0f);
    EXPECT_EQ(b->m_apTexCoord[0][3].y, 0.0f);

    std::unique_ptr<CVertexBuffer> all(CreateVertexBufferSW(2, 4095, 0));
    EXPECT_EQ(all->What(), 4095 & ~8);
    EXPECT_EQ(CreateVertexBufferSW(-1, 4095, 0), nullptr);
    EXPECT_EQ(CreateIndexBufferSW(-1, 0), nullptr);
}

class CUploadTest : public ::testing::Test
{
protected:
    // 100 vertices with positions and texture set 7, every float distinct.
    void SetUp() override
    {
        m_pSource.reset(CreateVertexBufferSW(100, STREAM_POSITION | STREAM_TEXTURE7, 0));
        for (long i = 0; i < 100; ++i)
        {
            m_pSource->m_pPosition[i] = TVector3<float>(i, i + 0.5f, -i);
            m_pSource->m_apTexCoord[7][i] = TVector2<float>(i * 0.25f, i * 0.125f);
        }
    }

    std::unique_ptr<CVertexBuffer> m_pSource;
    CRecordingDevice m_Device;
};

// Only the components both in the source and in the mask are copied, and
// only as many vertices as asked for.
TEST_F(CUploadTest, CopiesTheComponentsInSourceAndMask)
{
    long h = m_Device.CreateVertexBuffer(m_pSource.get(), -1, STREAM_ALL);
    CVertexBuffer* made = m_Device.VertexBuffer(h);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->What(), STREAM_POSITION);
    EXPECT_EQ(made->m_Count, 100);
    EXPECT_EQ(std::memcmp(made->m_pPosition, m_pSource->m_pPosition, 1200), 0);
    EXPECT_EQ(m_Device.m_lCalls.front(), "CreateVertexBuffer(100,1)");
    EXPECT_EQ(m_Device.m_lCalls.back(), "UnlockVertexBuffer(" + std::to_string(h) + ")");

    made = m_Device.VertexBuffer(m_Device.CreateVertexBuffer(m_pSource.get(), -1, 4095));
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->What(), STREAM_POSITION | STREAM_TEXTURE7);
    EXPECT_EQ(std::memcmp(made->m_pPosition, m_pSource->m_pPosition, 1200), 0);
    EXPECT_EQ(std::memcmp(made->m_apTexCoord[7], m_pSource->m_apTexCoord[7], 800), 0);

    made = m_Device.VertexBuffer(m_Device.CreateVertexBuffer(m_pSource.get(), 10, 4095));
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->m_Count, 10);
    EXPECT_EQ(made->m_apTexCoord[7][9].x, 9 * 0.25f);

    std::unique_ptr<CIndexBuffer> source(CreateIndexBufferSW(5, 0));
    const uint16_t values[5] = {0, 65535, 7, 300, 2};
    std::memcpy(source->m_pIndices, values, sizeof values);
    CIndexBuffer* indices = m_Device.IndexBuffer(m_Device.CreateIndexBuffer(source.get(), 0));
    ASSERT_NE(indices, nullptr);
    EXPECT_EQ(indices->m_Count, 5);
    EXPECT_EQ(std::memcmp(indices->m_pIndices, values, sizeof values), 0);
}

// Nothing usable from the back end, or a count the source cannot supply:
// -1, and no buffer is left behind.
TEST_F(CUploadTest, FailuresReturnMinusOneAndLeaveNothing)
{
    EXPECT_EQ(m_Device.CreateVertexBuffer(m_pSource.get(), 101, STREAM_ALL), -1);
    EXPECT_EQ(m_Device.CreateVertexBuffer(nullptr, -1, STREAM_ALL), -1);
    EXPECT_EQ(m_Device.CreateIndexBuffer(nullptr, 0), -1);
    EXPECT_TRUE(m_Device.m_lCalls.empty());

    m_Device.m_bFailCreate = true;
    EXPECT_EQ(m_Device.CreateVertexBuffer(m_pSource.get(), -1, STREAM_ALL), -1);
    m_Device.m_bFailCreate = false;

    m_Device.m_bFailLock = true;
    EXPECT_EQ(m_Device.CreateVertexBuffer(m_pSource.get(), -1, STREAM_ALL), -1);
    std::unique_ptr<CIndexBuffer> indices(CreateIndexBufferSW(3, 0));
    EXPECT_EQ(m_Device.CreateIndexBuffer(indices.get(), 0), -1);
    for (long i = 0; i < m_Device.m_IndexHandler.m_aIDs.m_Length; ++i)
        EXPECT_EQ(m_Device.m_IndexHandler.m_aIDs[i].m_Type, SID_FREE);
}

TEST(CDevice, ClearAllDestroysEachLiveResourceOnce)
{
    CRecordingDevice device;
    long texture = device.CreateTexture(4, 4, TEXFORMAT_RGBA);
    long gone = device.CreateTexture(4, 4, TEXFORMAT_RGB);
    long buffer = device.CreateVertexBuffer(3, STREAM_POSITION, 0);
    long shader = device.CreateVertexShader("!!ARBvp1.0\nEND\n");
    ASSERT_TRUE(device.DestroyTexture(gone));
    device.m_lCalls.clear();

    device.ClearAllAllocatedIndexes();
    EXPECT_EQ(device.m_lCalls,
              (std::vector<std::string>{"DestroyTexture(" + std::to_string(texture) + ")",
                                        "DestroyVertexBuffer(" + std::to_string(buffer) + ")",
                                        "DestroyVertexShader(" + std::to_string(shader) + ")"}));
    const CIndexHandler& h = device.m_IndexHandler;
    EXPECT_EQ(h.m_aFree.m_Length, h.m_aIDs.m_Length);
    EXPECT_EQ(sizeof(STextureInfo), 16u);
}

} // namespace
