// The svg command's picture as a person sees it: rendered by a real SVG
// renderer (rsvg-convert, Debian's librsvg2-bin) and judged by the colours
// of its pixels, not by the SVG text. Skipped when the renderer is missing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tool_runner.h"
#include "tools/svg_drawing.h"

#ifdef SPATIALGEOM_TEST_HAVE_PNG
#include <png.h>
#endif

namespace spatialgeom::tool::testing {
namespace {

TEST(SvgScaleBar, IsOneTwoOrFiveTimesAPowerOfTen) {
    const std::pair<double, double> cases[] = {{1.0, 1.0},   {9.99, 5.0},      {4.99, 2.0},     {1.99, 1.0},
                                               {28.0, 20.0}, {1000.0, 1000.0}, {0.0042, 0.002}, {7.3e12, 5e12}};
    for (const auto& [width, length] : cases) EXPECT_DOUBLE_EQ(scaleBarLength(width), length) << width;
}

#ifdef SPATIALGEOM_TEST_HAVE_PNG

struct Colour {
    int r, g, b;
};

struct Picture {
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    std::vector<Colour> pixels;  // row by row, on a white background
};

// Colours told apart as a reader tells them apart (the fills are
// translucent, so each colour appears lighter than its code).
bool reddish(Colour c) { return c.r > 200 && c.g < 200 && c.b < 200 && std::abs(c.g - c.b) < 25; }
bool bluish(Colour c) { return c.b > c.r + 25 && c.b > c.g + 5; }
bool greenish(Colour c) { return c.g > c.r + 25 && c.g > c.b + 15; }
bool dark(Colour c) { return c.r < 110 && c.g < 110 && c.b < 110; }

struct Region {
    long count = 0;
    png_uint_32 top = ~png_uint_32{0};
    png_uint_32 bottom = 0;
    double sumX = 0;
    double meanX() const { return count ? sumX / static_cast<double>(count) : 0.0; }
};

Region find(const Picture& picture, bool (*wanted)(Colour), png_uint_32 fromRow, png_uint_32 toRow) {
    Region region;
    for (png_uint_32 y = fromRow; y < std::min(toRow, picture.height); ++y) {
        for (png_uint_32 x = 0; x < picture.width; ++x) {
            if (!wanted(picture.pixels[static_cast<std::size_t>(y) * picture.width + x])) continue;
            ++region.count;
            region.top = std::min(region.top, y);
            region.bottom = std::max(region.bottom, y);
            region.sumX += x;
        }
    }
    return region;
}

bool haveRenderer() { return std::system("rsvg-convert --version >/dev/null 2>&1") == 0; }

// The tool's picture rendered to PNG, composited on white in sRGB values
// as browsers show it (libpng's own compositing works on linear light and
// gives lighter colours).
Picture render(const std::vector<std::string>& arguments, const std::string& name) {
    const std::string svg = temporaryFile(name + ".svg", "");
    std::vector<std::string> command = arguments;
    command.insert(command.end(), {"--output", svg});
    const ToolRun run = runTool(command);
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    const std::string png = svg + ".png";
    EXPECT_EQ(std::system(("rsvg-convert -o '" + png + "' '" + svg + "'").c_str()), 0);
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    EXPECT_TRUE(png_image_begin_read_from_file(&image, png.c_str())) << png;
    image.format = PNG_FORMAT_RGBA;
    std::vector<png_byte> rgba(PNG_IMAGE_SIZE(image));
    EXPECT_TRUE(png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr)) << png;
    Picture picture{image.width, image.height, {}};
    const auto onWhite = [](int value, int alpha) { return (value * alpha + 255 * (255 - alpha) + 127) / 255; };
    for (std::size_t i = 0; i < rgba.size(); i += 4) {
        picture.pixels.push_back(
            {onWhite(rgba[i], rgba[i + 3]), onWhite(rgba[i + 1], rgba[i + 3]), onWhite(rgba[i + 2], rgba[i + 3])});
    }
    return picture;
}

TEST(SvgRender, LegendScaleAndRedWhereGeometriesMeet) {
    if (!haveRenderer()) GTEST_SKIP() << "rsvg-convert (librsvg2-bin) is not installed";
    // a: a square that b's square overlaps (both red) and, at the right, a
    // square nothing meets (blue); b has nothing left in its own colour.
    const std::string a = temporaryFile("render-a.wkt",
                                        "POLYGON((0 0 0,10 0 0,10 10 0,0 10 0,0 0 0))\n"
                                        "POLYGON((40 0 0,50 0 0,50 10 0,40 10 0,40 0 0))\n");
    const std::string b = temporaryFile("render-b.wkt", "POLYGON((5 5 0,15 5 0,15 15 0,5 15 0,5 5 0))\n");
    const Picture picture = render({"svg", "--title", "Overlaps", a, b}, "titled");
    ASSERT_EQ(picture.width, 800u);
    ASSERT_GT(picture.height, 400u);

    // The legend's swatches are the lowest coloured pixels: blue (a), then
    // green (b, only there), then red ("meets another geometry"), each with
    // its dark label to the right.
    const Region green = find(picture, greenish, 0, picture.height);
    ASSERT_GT(green.count, 50) << "no legend entry in b's colour";
    const png_uint_32 legendTop = green.top - 30;
    // The drawing above it: red at the left, blue at the right, no green.
    const Region drawnRed = find(picture, reddish, 0, legendTop);
    const Region drawnBlue = find(picture, bluish, 0, legendTop);
    ASSERT_GT(drawnRed.count, 1000);
    ASSERT_GT(drawnBlue.count, 1000);
    EXPECT_LT(drawnRed.meanX(), drawnBlue.meanX()) << "the meeting squares are the left ones";
    const Region legendBlue = find(picture, bluish, legendTop, picture.height);
    const Region legendRed = find(picture, reddish, legendTop, picture.height);
    EXPECT_GT(legendBlue.count, 50);
    EXPECT_GT(legendRed.count, 50);
    EXPECT_LT(legendBlue.bottom, green.top);
    EXPECT_LT(green.bottom, legendRed.top);
    EXPECT_GT(find(picture, dark, green.top, green.bottom + 1).count, 50) << "b's legend entry has no name";
    EXPECT_GT(find(picture, dark, legendRed.top, legendRed.bottom + 1).count, 50);
    // Above the legend and below the drawing: the scale bar and the x
    // range (dark); above the drawing: the title.
    EXPECT_GT(find(picture, dark, drawnRed.bottom + 1, legendTop).count, 100);
    EXPECT_GT(find(picture, dark, 0, 40).count, 50) << "no title";

    // Without a title nothing is written at the top.
    const Picture untitled = render({"svg", a, b}, "untitled");
    EXPECT_EQ(find(untitled, dark, 0, 15).count, 0);
}

#endif  // SPATIALGEOM_TEST_HAVE_PNG

}  // namespace
}  // namespace spatialgeom::tool::testing
