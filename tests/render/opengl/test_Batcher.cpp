// The 2D batcher on the OpenGL device: the shared batcher tests, and the
// pixels that its quads and lines produce in a real window.
#include "DeviceFixture.h"

#include <cstdlib>

#include "BatcherTests.h"
#include "image/Image.h"

using namespace NVorn;
using namespace NVorn::N3D;
using NVorn::NTest::DeviceTest;

namespace
{

const bool g_bEnvironment = NTest::InstallDeviceEnvironment();

struct SOpenGLTraits
{
    typedef NTest::TDrawCapture<COpenGLDevice_SDL> Device;

    static Device* Create()
    {
        Device* device = new Device;
        if (device->Init(CMode(640, 480, false, 0)))
            return device;
        delete device;
        return nullptr;
    }

    static void Destroy(Device* device)
    {
        device->ClearAllAllocatedIndexes();
        device->Shutdown();
        delete device;
    }
};

// The batcher drawing on a window cleared to black.
class BatcherPixelTest : public DeviceTest
{
protected:
    void SetUp() override
    {
        DeviceTest::SetUp();
        ASSERT_TRUE(m_Utils.Init(m_pDevice, 8192));
        m_Utils.SetBlend(BLENDMODE_NONE);
        ClearTo(0, 0, 0);
    }

    void ClearTo(float r, float g, float b)
    {
        const float colour[4] = { r, g, b, 1 };
        std::copy(colour, colour + 4, m_pDevice->m_aClearColor);
        m_pDevice->Clear(CLEAR_COLOR);
    }

    void DrawQuad(float x, float y, float width, float height)
    {
        ASSERT_TRUE(m_Utils.Quad_Begin());
        m_Utils.Quad_Draw(x, y, width, height);
        m_Utils.Quad_End();
    }

    // Whether the pixel's colour is within tolerance of the expected bytes.
    ::testing::AssertionResult Near(int x, int y, int r, int g, int b, int tolerance = 2)
    {
        std::vector<unsigned char> p = Pixel(x, y);
        if (std::abs(p[0] - r) <= tolerance && std::abs(p[1] - g) <= tolerance &&
            std::abs(p[2] - b) <= tolerance)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
               << "pixel (" << x << ", " << y << ") is " << int(p[0]) << ", " << int(p[1])
               << ", " << int(p[2]) << " instead of " << r << ", " << g << ", " << b;
    }

    C2DUtils m_Utils;
};

} // namespace

namespace NVorn {
namespace NTest {
INSTANTIATE_TYPED_TEST_SUITE_P(OpenGL, C2DUtilsTest, SOpenGLTraits);
} // namespace NTest
} // namespace NVorn

TEST_F(BatcherPixelTest, QuadsCoverTheirScreenRectangle)
{
    // 40 x 20 centred on (100, 100): x 80..119, y 90..109 from the top.
    m_Utils.SetColor(1, 0, 0, 1);
    DrawQuad(100, 100, 40, 20);
    EXPECT_TRUE(Near(80, 90, 255, 0, 0));
    EXPECT_TRUE(Near(119, 109, 255, 0, 0));
    EXPECT_TRUE(Near(79, 100, 0, 0, 0));
    EXPECT_TRUE(Near(120, 100, 0, 0, 0));
    EXPECT_TRUE(Near(100, 89, 0, 0, 0));
    EXPECT_TRUE(Near(100, 110, 0, 0, 0));

    // A quarter turn stands the same quad upright: x 90..109, y 80..119.
    ClearTo(0, 0, 0);
    m_Utils.SetColor(0, 1, 0, 1);
    m_Utils.Quad_SetRotation(1.5707963f);
    DrawQuad(100, 100, 40, 20);
    EXPECT_TRUE(Near(100, 82, 0, 255, 0));
    EXPECT_TRUE(Near(100, 117, 0, 255, 0));
    EXPECT_TRUE(Near(85, 100, 0, 0, 0));
    EXPECT_TRUE(Near(114, 100, 0, 0, 0));
    ExpectNoGLError("quads");
}

TEST_F(BatcherPixelTest, CornersCarryTheirColoursAndTextureCoordinates)
{
    m_Utils.SetColor(0, 1, 0, 0, 1);
    m_Utils.SetColor(1, 0, 1, 0, 1);
    m_Utils.SetColor(2, 0, 0, 1, 1);
    m_Utils.SetColor(3, 1, 1, 1, 1);
    DrawQuad(200, 200, 100, 100);
    // Pixel centres half a pixel inside the corners, and half-way along the
    // top edge.
    EXPECT_TRUE(Near(150, 150, 255, 0, 0, 4));
    EXPECT_TRUE(Near(249, 150, 0, 255, 0, 4));
    EXPECT_TRUE(Near(150, 249, 0, 0, 255, 4));
    EXPECT_TRUE(Near(249, 249, 255, 255, 255, 4));
    EXPECT_TRUE(Near(200, 150, 128, 128, 0, 4));

    // A 2 x 2 texture: red, green on its first row, blue, white below,
    // sampled at texel centres.
    CImage image;
    ASSERT_TRUE(image.Create(TVector2<long>(2, 2), 32));
    const unsigned char aTexels[16] = { 255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255 };
    std::copy(aTexels, aTexels + 16, image.m_pData);
    long texture = m_pDevice->CreateTexture(image);
    ASSERT_GE(texture, 0);

    ClearTo(0, 0, 0);
    m_Utils.SetDefaults();
    m_Utils.SetTexture(texture);
    DrawQuad(400, 200, 200, 200);
    EXPECT_TRUE(Near(350, 150, 255, 0, 0));
    EXPECT_TRUE(Near(450, 150, 0, 255, 0));
    EXPECT_TRUE(Near(350, 250, 0, 0, 255));
    EXPECT_TRUE(Near(450, 250, 255, 255, 255));

    // Texture coordinates mirrored left to right and tinted by the colour.
    m_Utils.SetTexCoord(1, 0, 0, 1);
    m_Utils.SetColor(0.5f, 0.5f, 0.5f, 1);
    DrawQuad(400, 200, 200, 200);
    EXPECT_TRUE(Near(350, 150, 0, 128, 0));
    EXPECT_TRUE(Near(450, 150, 128, 0, 0));
    ExpectNoGLError("colours and texture");
}

TEST_F(BatcherPixelTest, BlendModesMixWithTheBackground)
{
    ClearTo(0, 0, 1);
    m_Utils.SetColor(1, 1, 1, 0.5f);
    m_Utils.SetBlend(BLENDMODE_ALPHA);
    DrawQuad(100, 100, 20, 20);
    EXPECT_TRUE(Near(100, 100, 128, 128, 255));

    ClearTo(0.25f, 0.25f, 0.25f);
    m_Utils.SetColor(0.5f, 0.25f, 0, 0.1f);
    m_Utils.SetBlend(BLENDMODE_ADD);
    DrawQuad(100, 100, 20, 20);
    EXPECT_TRUE(Near(100, 100, 191, 128, 64));

    // Without blending the quad replaces the background, alpha and all.
    m_Utils.SetBlend(BLENDMODE_NONE);
    DrawQuad(100, 100, 20, 20);
    EXPECT_TRUE(Near(100, 100, 128, 64, 0));
    ExpectNoGLError("blending");
}

TEST_F(BatcherPixelTest, LinesRunBetweenTheirEnds)
{
    m_Utils.SetColor(1, 1, 0, 1);
    ASSERT_TRUE(m_Utils.Line_Begin());
    m_Utils.Line_Draw(10, 300.5f, 200, 300.5f);
    m_Utils.Line_Draw(400.5f, 10, 400.5f, 100);
    m_Utils.Line_End();
    EXPECT_TRUE(Near(100, 300, 255, 255, 0));
    EXPECT_TRUE(Near(100, 299, 0, 0, 0));
    EXPECT_TRUE(Near(100, 301, 0, 0, 0));
    EXPECT_TRUE(Near(250, 300, 0, 0, 0));
    EXPECT_TRUE(Near(400, 50, 255, 255, 0));
    EXPECT_TRUE(Near(401, 50, 0, 0, 0));
    ExpectNoGLError("lines");
}
