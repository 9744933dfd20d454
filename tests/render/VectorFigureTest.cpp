// vexmira-render's SVG, PDF and EPS figures and its transparent pictures, read back as a reader
// of the files would: an XML parser, poppler's rasteriser, the PNG decoder.

#include "Platform/image/PngReader.h"
#include "support/ProgramRun.h"

#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <numbers>
#include <set>
#include <sstream>

using VexmiraTest::TemporaryFolder;

namespace {

using Rgb = std::array<int, 3>;

// A small setting seen from the side, where no segment shrinks to a point on the page.
constexpr int resolution = 4, width = 300, height = 200;
const std::string setting = " --meridians 5 --resolution 4 --blowup 0.5 --immersion 0.3"
                            " --elevation 60 --azimuth 30 --size 300x200";

int run(const std::string& commandLine) {
    return VexmiraTest::runProgram(commandLine).status;
}

std::string render(const TemporaryFolder& folder, const std::string& arguments,
                   const std::string& name) {
    const std::string path = folder.file(name);
    const auto rendering = VexmiraTest::runProgram("env -u DISPLAY '" VEXMIRA_RENDER_PROGRAM "'" +
                                                   arguments + " -o '" + path + "'");
    EXPECT_EQ(rendering.status, 0) << arguments << "\n" << rendering.standardError;
    return path;
}

// The meridians' hues (i / 5 of a turn, saturated) in 8 bits, and white for the circle.
const std::set<Rgb> drawingColours = {{255, 0, 0},   {204, 255, 0}, {0, 255, 102},
                                      {0, 102, 255}, {204, 0, 255}, {255, 255, 255}};

// The figure's stroke colours (as the nearest drawing colour within one step) with the number
// of segments drawn in each; its page size; whether it has a filled background.
struct SvgCensus {
    std::map<Rgb, int> segments;
    std::string width, height;
    int polygons = 0, unknown = 0;
};

std::string attribute(xmlNode* node, const char* name) {
    xmlChar* value = xmlGetProp(node, reinterpret_cast<const xmlChar*>(name));
    std::string text = value ? reinterpret_cast<const char*>(value) : "";
    xmlFree(value);
    return text;
}

Rgb nearestOf(const std::string& hex) {
    unsigned value = 0;
    std::sscanf(hex.c_str(), "#%6x", &value);
    const Rgb colour{int(value >> 16), int(value >> 8 & 0xff), int(value & 0xff)};
    for (const Rgb& known : drawingColours)
        if (std::abs(known[0] - colour[0]) <= 1 && std::abs(known[1] - colour[1]) <= 1 &&
            std::abs(known[2] - colour[2]) <= 1)
            return known;
    return colour;
}

void countElements(xmlNode* node, SvgCensus& census) {
    for (; node; node = node->next) {
        if (node->type != XML_ELEMENT_NODE)
            continue;
        const std::string name = reinterpret_cast<const char*>(node->name);
        if (name == "polyline" || name == "line") {
            int points = 2;
            if (name == "polyline") {
                std::istringstream list(attribute(node, "points"));
                std::string point;
                for (points = 0; list >> point;)
                    ++points;
            }
            census.segments[nearestOf(attribute(node, "stroke"))] += points - 1;
        } else if (name == "polygon") {
            ++census.polygons;
        } else if (name != "g" && name != "title" && name != "desc" && name != "defs") {
            ++census.unknown;
        }
        countElements(node->children, census);
    }
}

std::optional<SvgCensus> readSvg(const std::string& path) {
    xmlDoc* document = xmlReadFile(path.c_str(), nullptr, XML_PARSE_NONET);
    if (!document)
        return std::nullopt;
    xmlNode* root = xmlDocGetRootElement(document);
    SvgCensus census;
    census.width = attribute(root, "width");
    census.height = attribute(root, "height");
    countElements(root->children, census);
    xmlFreeDoc(document);
    return census;
}

// The angle of a colour on the colour wheel, in degrees; nothing for greys and near black.
std::optional<double> hueOf(const std::uint8_t* c) {
    const int high = std::max({c[0], c[1], c[2]}), low = std::min({c[0], c[1], c[2]});
    if (high - low < 80)
        return std::nullopt;
    return std::atan2(std::sqrt(3.0) * (c[1] - c[2]), 2.0 * c[0] - c[1] - c[2]) * 180.0 /
           std::numbers::pi;
}

} // namespace

TEST(VectorFigure, SvgHoldsEverySegmentInItsMeridiansHueOnAPageOfThePictureSize) {
    TemporaryFolder folder;
    // Smoothing passes would draw every segment again, jittered: a figure is drawn once.
    const auto figure = readSvg(render(folder, setting + " --passes 5", "figure.svg"));
    ASSERT_TRUE(figure) << "not well-formed XML";
    EXPECT_EQ(figure->width, std::to_string(width) + "pt");
    EXPECT_EQ(figure->height, std::to_string(height) + "pt");
    EXPECT_EQ(figure->polygons, 1) << "the black background";
    EXPECT_EQ(figure->unknown, 0);
    // Each meridian is a closed curve of 2R segments through the lower pole; the circle has 2R.
    std::map<Rgb, int> expected;
    for (const Rgb& colour : drawingColours)
        expected[colour] = 2 * resolution;
    EXPECT_EQ(figure->segments, expected);

    const auto transparent = readSvg(render(folder, setting + " --transparent", "transparent.svg"));
    ASSERT_TRUE(transparent);
    EXPECT_EQ(transparent->polygons, 0) << "no background rectangle";
    EXPECT_EQ(transparent->segments, expected);
}

TEST(VectorFigure, PdfAndEpsArePagesOfThePictureSizeAndThePdfShowsThePicturesHues) {
    TemporaryFolder folder;
    const std::string pdf = TemporaryFolder::read(render(folder, setting, "figure.pdf"));
    EXPECT_EQ(pdf.substr(0, 7), "%PDF-1.");
    EXPECT_NE(pdf.find("%%EOF", pdf.size() - 8), std::string::npos);
    const std::string eps = TemporaryFolder::read(render(folder, setting, "figure.eps"));
    EXPECT_EQ(eps.substr(0, 23), "%!PS-Adobe-3.0 EPSF-3.0");
    EXPECT_NE(eps.find("\n%%BoundingBox: 0 0 300 200\n"), std::string::npos);
    EXPECT_EQ(eps.substr(eps.size() - 6), "%%EOF\n");

    if (run("command -v pdftoppm >/dev/null") != 0)
        GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
    // One point per pixel: the page rasterised at 72 dots per inch is the picture's size.
    ASSERT_EQ(run("pdftoppm -png -r 72 -singlefile '" + folder.file("figure.pdf") + "' '" +
                  folder.file("page") + "'"),
              0);
    const auto page = Platform::readPngFile(folder.file("page.png"));
    const auto picture =
        Platform::readPngFile(render(folder, setting + " --passes 1", "picture.png"));
    ASSERT_TRUE(page) << "pdftoppm wrote no page";
    ASSERT_TRUE(picture);
    ASSERT_EQ(std::pair(page->width, page->height), std::pair(width, height));
    // Wherever the PNG shows a hue, the page shows the same hue within a pixel of it.
    int hued = 0, matched = 0;
    auto at = [](const Platform::PngImage& image, int x, int y) {
        return &image.rgba[(static_cast<std::size_t>(y) * image.width + x) * 4];
    };
    for (int y = 1; y + 1 < height; ++y)
        for (int x = 1; x + 1 < width; ++x) {
            const auto hue = hueOf(at(*picture, x, y));
            if (!hue)
                continue;
            ++hued;
            bool found = false;
            for (int n = 0; n < 9 && !found; ++n) {
                const auto near = hueOf(at(*page, x + n % 3 - 1, y + n / 3 - 1));
                found = near && std::fabs(std::remainder(*near - *hue, 360.0)) < 20.0;
            }
            matched += found;
        }
    EXPECT_GT(hued, 300);
    EXPECT_GT(matched, hued * 9 / 10) << matched << " of " << hued;
}

TEST(VectorFigure, TransparentPicturesAreClearWhereNothingIsDrawnAndKeepTheLinesColours) {
    TemporaryFolder folder;
    const auto picture = Platform::readPngFile(
        render(folder, setting + " --passes 4 --transparent", "transparent.png"));
    const auto opaque =
        Platform::readPngFile(render(folder, setting + " --passes 4", "opaque.png"));
    ASSERT_TRUE(picture);
    ASSERT_TRUE(opaque);
    ASSERT_EQ(picture->rgba.size(), opaque->rgba.size());
    for (auto [x, y] : {std::pair(0, 0), {width - 1, 0}, {0, height - 1}, {width - 1, height - 1}})
        EXPECT_EQ(picture->rgba[(static_cast<std::size_t>(y) * width + x) * 4 + 3], 0);
    // Over black, a pixel's colour times its coverage is the opaque picture's colour.
    int covered = 0, partly = 0;
    for (std::size_t i = 0; i < picture->rgba.size(); i += 4) {
        const int alpha = picture->rgba[i + 3];
        covered += alpha > 0;
        partly += alpha > 0 && alpha < 255;
        for (std::size_t c = 0; c < 3; ++c)
            ASSERT_NEAR(picture->rgba[i + c] * alpha / 255.0, opaque->rgba[i + c], 1.5) << i;
    }
    EXPECT_GT(covered, 1000);
    EXPECT_GT(partly, 100) << "smoothed edges are partly transparent";
}
