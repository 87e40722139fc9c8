// The device base: the handle table, buffer descriptions and their heap
// implementations, uploads and the release of every resource.
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

TEST(CIndexHandler, HandsOutAndReusesHandlesInOrder)
{
    CIndexHandler h;
    EXPECT_EQ(h.GetFree(SID_TEXTURE), 0);
    EXPECT_EQ(h.GetFree(SID_VERTEXBUFFER), 1);
    EXPECT_EQ(h.GetFree(SID_INDEXBUFFER), 2);

    h.Remove(1);
    EXPECT_EQ(h.m_aIDs[1].m_Type, SID_FREE);
    EXPECT_EQ(h.GetFree(SID_TEXTURE), 1);
    EXPECT_EQ(h.m_aIDs[1].m_Type, SID_TEXTURE);
    EXPECT_EQ(h.m_aIDs[1].m_pData, nullptr);

    // Free [0, 2, 1]: the first is taken and the last fills its place.
    h.Remove(0);
    h.Remove(2);
    h.Remove(1);
    EXPECT_EQ(h.GetFree(SID_TEXTURE), 0);
    EXPECT_EQ(h.GetFree(SID_TEXTURE), 1);
    EXPECT_EQ(h.GetFree(SID_TEXTURE), 2);

    // Free [a, b, c] gives a, c, b.
    EXPECT_EQ(h.GetFree(SID_TEXTURE), 3);
    h.Remove(3);
    h.Remove(0);
    h.Remove(2);
    EXPECT_EQ(h.GetFree(SID_TEXTURE), 3);
    EXPECT_EQ(h.GetFree(SID_TEXTURE), 2);
    EXPECT_EQ(h.GetFree(SID_TEXTURE), 0);
    EXPECT_EQ(h.m_aIDs.m_Length, 4);
}

TEST(CIndexHandler, IgnoresHandlesOutsideTheTableAndDoubleRemoval)
{
    CIndexHandler h;
    h.GetFree(SID_TEXTURE);
    h.GetFree(SID_TEXTURE);
    h.Remove(2);
    h.Remove(100);
    h.Remove(-1);
    EXPECT_EQ(h.m_aFree.m_Length, 0);

    // Freeing twice must not let one handle go to two resources.
    h.Remove(1);
    h.Remove(1);
    EXPECT_EQ(h.m_aFree.m_Length, 1);
    EXPECT_EQ(h.GetFree(SID_TEXTURE), 1);
    EXPECT_EQ(h.GetFree(SID_TEXTURE), 2);

    int object = 0;
    h.m_aIDs[2].m_pData = &object;
    EXPECT_EQ(h.Lookup(2, SID_TEXTURE), &object);
    EXPECT_EQ(h.Lookup(2, SID_VERTEXBUFFER), nullptr);
    EXPECT_EQ(h.Lookup(3, SID_TEXTURE), nullptr);
    EXPECT_EQ(h.Lookup(-1, SID_TEXTURE), nullptr);
}

TEST(CIndexHandler, TableAndFreeListGrowByTen)
{
    CIndexHandler h;
    EXPECT_EQ(h.m_aIDs.m_Capacity, 1);
    EXPECT_EQ(h.m_aFree.m_Capacity, 1);
    h.GetFree(SID_TEXTURE);
    EXPECT_EQ(h.m_aIDs.m_Capacity, 1);
    h.GetFree(SID_TEXTURE);
    EXPECT_EQ(h.m_aIDs.m_Capacity, 11);
    for (int i = 2; i < 12; ++i)
        h.GetFree(SID_TEXTURE);
    EXPECT_EQ(h.m_aIDs.m_Capacity, 21);

    h.Remove(0);
    EXPECT_EQ(h.m_aFree.m_Capacity, 1);
    h.Remove(1);
    EXPECT_EQ(h.m_aFree.m_Capacity, 11);
    for (int i = 2; i < 12; ++i)
        h.Remove(i);
    EXPECT_EQ(h.m_aFree.m_Capacity, 21);
}

TEST(CVertexBuffer, ComponentsAndTheirSizes)
{
    std::unique_ptr<CVertexBuffer> none(CreateVertexBufferSW(4, 0, 0));
    EXPECT_EQ(none->What(), 0);

    std::unique_ptr<CVertexBuffer> b(
        CreateVertexBufferSW(4, STREAM_POSITION | STREAM_COLOR | STREAM_TEXTURE0 | 8, 0));
    EXPECT_EQ(b->What(), 21);
    EXPECT_EQ(b->m_Count, 4);
    EXPECT_EQ(b->GetPointer(0), b->m_pPosition);
    EXPECT_EQ(b->GetPointer(2), b->m_pColor);
    EXPECT_EQ(b->GetPointer(4), b->m_apTexCoord[0]);
    EXPECT_EQ(b->GetPointer(1), nullptr);
    EXPECT_EQ(b->GetPointer(3), nullptr);
    EXPECT_EQ(b->GetPointer(12), nullptr);
    EXPECT_EQ(b->GetPointer(-1), nullptr);
    EXPECT_EQ(b->m_pPosition[3].z, 0.0f);
    EXPECT_EQ(b->m_apTexCoord[0][3].y, 0.0f);

    EXPECT_EQ(CVertexBuffer::GetPointerElementSize(0), 12);
    EXPECT_EQ(CVertexBuffer::GetPointerElementSize(1), 12);
    EXPECT_EQ(CVertexBuffer::GetPointerElementSize(2), 16);
    EXPECT_EQ(CVertexBuffer::GetPointerElementSize(3), 8);
    EXPECT_EQ(CVertexBuffer::GetPointerElementSize(11), 8);
    EXPECT_EQ(CVertexBuffer::GetPointerElementSize(99), 8);

    std::unique_ptr<CVertexBuffer> all(CreateVertexBufferSW(2, 4095, 0));
    EXPECT_EQ(all->What(), 4095 & ~8);
    EXPECT_EQ(CreateVertexBufferSW(-1, 4095, 0), nullptr);

    std::unique_ptr<CIndexBuffer> indices(CreateIndexBufferSW(6, 0));
    EXPECT_EQ(indices->m_Count, 6);
    EXPECT_NE(indices->m_pIndices, nullptr);
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

TEST_F(CUploadTest, CopiesOnlyTheComponentsInSourceAndMask)
{
    long h = m_Device.CreateVertexBuffer(m_pSource.get(), -1, STREAM_ALL);
    ASSERT_GE(h, 0);
    CVertexBuffer* made = m_Device.VertexBuffer(h);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->What(), STREAM_POSITION);
    EXPECT_EQ(made->m_Count, 100);
    EXPECT_EQ(std::memcmp(made->m_pPosition, m_pSource->m_pPosition, 1200), 0);
    EXPECT_EQ(m_Device.m_lCalls.front(), "CreateVertexBuffer(100,1)");
    EXPECT_EQ(m_Device.m_lCalls.back(), "UnlockVertexBuffer(" + std::to_string(h) + ")");

    long all = m_Device.CreateVertexBuffer(m_pSource.get(), -1, 4095);
    made = m_Device.VertexBuffer(all);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->What(), STREAM_POSITION | STREAM_TEXTURE7);
    EXPECT_EQ(std::memcmp(made->m_pPosition, m_pSource->m_pPosition, 1200), 0);
    EXPECT_EQ(std::memcmp(made->m_apTexCoord[7], m_pSource->m_apTexCoord[7], 800), 0);

    // A smaller count copies that many vertices.
    long part = m_Device.CreateVertexBuffer(m_pSource.get(), 10, 4095);
    made = m_Device.VertexBuffer(part);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->m_Count, 10);
    EXPECT_EQ(made->m_apTexCoord[7][9].x, 9 * 0.25f);
}

// Nothing usable from the back end, or a count the source cannot supply:
// -1, and no buffer is left behind.
TEST_F(CUploadTest, FailuresReturnMinusOneAndLeaveNothing)
{
    EXPECT_EQ(m_Device.CreateVertexBuffer(m_pSource.get(), 101, STREAM_ALL), -1);
    EXPECT_EQ(m_Device.CreateVertexBuffer(nullptr, -1, STREAM_ALL), -1);
    EXPECT_TRUE(m_Device.m_lCalls.empty());

    m_Device.m_bFailCreate = true;
    EXPECT_EQ(m_Device.CreateVertexBuffer(m_pSource.get(), -1, STREAM_ALL), -1);
    m_Device.m_bFailCreate = false;

    m_Device.m_bFailLock = true;
    EXPECT_EQ(m_Device.CreateVertexBuffer(m_pSource.get(), -1, STREAM_ALL), -1);
    EXPECT_EQ(m_Device.VertexBuffer(0), nullptr);

    std::unique_ptr<CIndexBuffer> indices(CreateIndexBufferSW(3, 0));
    EXPECT_EQ(m_Device.CreateIndexBuffer(indices.get(), 0), -1);
    EXPECT_EQ(m_Device.IndexBuffer(0), nullptr);
    m_Device.m_bFailLock = false;

    EXPECT_EQ(m_Device.CreateIndexBuffer(nullptr, 0), -1);
    for (long i = 0; i < m_Device.m_IndexHandler.m_aIDs.m_Length; ++i)
        EXPECT_EQ(m_Device.m_IndexHandler.m_aIDs[i].m_Type, SID_FREE);
}

TEST_F(CUploadTest, IndexUploadCopiesEveryIndex)
{
    std::unique_ptr<CIndexBuffer> source(CreateIndexBufferSW(5, 0));
    const uint16_t values[5] = {0, 65535, 7, 300, 2};
    std::memcpy(source->m_pIndices, values, sizeof values);

    long h = m_Device.CreateIndexBuffer(source.get(), 0);
    ASSERT_GE(h, 0);
    CIndexBuffer* made = m_Device.IndexBuffer(h);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->m_Count, 5);
    EXPECT_EQ(std::memcmp(made->m_pIndices, values, sizeof values), 0);
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
    for (long i = 0; i < h.m_aIDs.m_Length; ++i)
        EXPECT_EQ(h.m_aIDs[i].m_Type, SID_FREE);
}

TEST(CDevice, SharedDefinitions)
{
    EXPECT_STREQ(aDeviceClassTag, "3D Device");
    EXPECT_EQ(sizeof(STextureInfo), 16u);

    CRecordingDevice device;
    CString dir("shaders/");
    device.GetShaderBaseDir(dir);
    EXPECT_TRUE(dir == "shaders/");
    EXPECT_EQ(device.GetVertexShaderCapabilities() + device.GetPixelShaderCapabilities(), 0);
}

} // namespace
