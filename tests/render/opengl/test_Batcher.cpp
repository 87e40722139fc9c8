// The 2D batcher on the OpenGL device: the pixels its quads and lines give in
// a real window.
#include "DeviceFixture.h"

#include <algorithm>

#include "image/Image.h"
#include "utils2d/2DUtils.h"

using namespace NVorn;
using namespace NVorn::N3D;

namespace {

class BatcherPixelTest : public NTest::DeviceTest
{
protected:
    void SetUp() override
    {
        DeviceTest::SetUp();
        ASSERT_TRUE(m_Utils.Init(m_pDevice, 8192));
        m_Utils.SetBlend(BLENDMODE_NONE);
        m_pDevice->Clear(CLEAR_COLOR);
    }

    void Quad(float x, float y, float width, float height)
    {
        ASSERT_TRUE(m_Utils.Quad_Begin());
        m_Utils.Quad_Draw(x, y, width, height);
        m_Utils.Quad_End();
    }

    // Pixels as "x,y=r,g,b" with each channel rounded to a multiple of 8, so
    // that a rasteriser's last bit does not count.
    std::string Pixels(std::initializer_list<std::pair<int, int>> at)
    {
        std::string text;
        for (const auto& p : at)
        {
            std::vector<unsigned char> c = Pixel(p.first, p.second);
            text += (text.empty() ? "" : " ") + std::to_string(p.first) + "," + std::to_string(p.second) + "=";
            for (int i = 0; i < 3; ++i)
                text += std::to_string((c[i] + 4) / 8 * 8) + (i < 2 ? "," : "");
        }
        return text;
    }

    C2DUtils m_Utils;
};

} // namespace

// Corner colours blend across the quad; a 2 x 2 texture (red, green above
// blue, white) is sampled at texel centres; a line covers the row it runs
// along between its ends; the blend modes mix with the background or replace it.
TEST_F(BatcherPixelTest, ColoursTexturesLinesAndBlendModes)
{
    const float colours[4][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 1, 1}};
    for (int c = 0; c < 4; ++c)
        m_Utils.SetColor(c, colours[c][0], colours[c][1], colours[c][2], 1);
    Quad(200, 200, 100, 100);
    EXPECT_EQ(Pixels({{150, 150}, {249, 150}, {150, 249}, {249, 249}, {200, 150}}),
              "150,150=256,0,0 249,150=0,256,0 150,249=0,0,256 249,249=256,256,256 200,150=128,128,0");

    CImage image;
    ASSERT_TRUE(image.Create(TVector2<long>(2, 2), 32));
    const unsigned char texels[16] = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255};
    std::copy(texels, texels + 16, image.m_pData);
    m_Utils.SetDefaults();
    m_Utils.SetTexture(m_pDevice->CreateTexture(image));
    Quad(400, 200, 200, 200);
    EXPECT_EQ(Pixels({{350, 150}, {450, 150}, {350, 250}, {450, 250}}),
              "350,150=256,0,0 450,150=0,256,0 350,250=0,0,256 450,250=256,256,256");

    m_Utils.SetTexture(-1);
    m_Utils.SetColor(1, 1, 0, 1);
    ASSERT_TRUE(m_Utils.Line_Begin());
    m_Utils.Line_Draw(10, 300.5f, 200, 300.5f);
    m_Utils.Line_End();
    EXPECT_EQ(Pixels({{100, 300}, {100, 299}, {250, 300}}), "100,300=256,256,0 100,299=0,0,0 250,300=0,0,0");

    std::fill(m_pDevice->m_aClearColor, m_pDevice->m_aClearColor + 3, 0.25f);
    m_pDevice->Clear(CLEAR_COLOR);
    m_Utils.SetColor(1, 1, 1, 0.5f);
    m_Utils.SetBlend(BLENDMODE_ALPHA);
    Quad(100, 100, 20, 20);
    m_Utils.SetColor(0.5f, 0.25f, 0, 0.1f);
    m_Utils.SetBlend(BLENDMODE_ADD);
    Quad(200, 100, 20, 20);
    m_Utils.SetBlend(BLENDMODE_NONE);
    Quad(300, 100, 20, 20);
    EXPECT_EQ(Pixels({{100, 100}, {200, 100}, {300, 100}}), "100,100=160,160,160 200,100=192,128,64 300,100=128,64,0");
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}
