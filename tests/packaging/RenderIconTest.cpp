#include "platform/ChildProcess.h"
#include "tests/support/ReadFile.h"
#include "tests/support/TemporaryFolder.h"

#include <QColor>
#include <QImage>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

using platform::ChildProcess;

namespace {

std::string binaryFolder()
{
    const char* folder = std::getenv("PRESSLING_BINARY_DIR");
    return folder ? folder : ".";
}

std::string programIcon()
{
    const char* source = std::getenv("PRESSLING_SOURCE_DIR");
    return std::string(source ? source : ".") + "/resources/icons/publishing.svg";
}

ChildProcess::RunResult renderIcon(const std::vector<std::string>& arguments)
{
    std::vector<std::string> argv = { binaryFolder() + "/packaging/render-icon" };
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    ChildProcess::RunResult result = ChildProcess::run(argv, std::chrono::seconds(60));
    EXPECT_TRUE(result.started) << result.error;
    return result;
}

int exitCodeOf(const ChildProcess::RunResult& result)
{
    return result.status.outcome == ChildProcess::Outcome::Exited ? result.status.exitCode : -1;
}

// How many pixels of the image are close to colour: what the icon's arrow or page left there.
int pixelsLike(const QImage& image, QColor colour)
{
    auto near = [](int a, int b) { return std::abs(a - b) < 24; };
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            QColor pixel = image.pixelColor(x, y);
            if (pixel.alpha() > 200 && near(pixel.red(), colour.red()) && near(pixel.green(), colour.green())
                && near(pixel.blue(), colour.blue()))
                ++count;
        }
    }
    return count;
}

}

// The theme's smallest and largest sizes: a PNG of exactly that size, with the icon's green
// arrow drawn and its transparent margin kept (a renderer that drew nothing, or filled the
// background, would pass a size check alone).
TEST(RenderIcon, DrawsTheProgramIconAtEachSizeOnATransparentBackground)
{
    TemporaryFolder folder;
    for (int size : { 16, 48, 256 }) {
        std::string png = folder.file(std::to_string(size) + ".png");
        auto result = renderIcon({ programIcon(), std::to_string(size), png });
        ASSERT_TRUE(result.succeeded()) << result.standardError;
        QImage image(QString::fromStdString(png));
        ASSERT_FALSE(image.isNull()) << png;
        EXPECT_EQ(image.size(), QSize(size, size));
        EXPECT_TRUE(image.hasAlphaChannel());
        EXPECT_EQ(image.pixelColor(0, 0).alpha(), 0) << size;
        EXPECT_GT(pixelsLike(image, QColor(0x2e, 0x8b, 0x2e)), size * size / 100) << size;
        EXPECT_GT(pixelsLike(image, QColor(0x3a, 0x5f, 0x8f)), size * size / 100) << size;
    }
}

// An icon twice as wide as high stays a band across the middle of the square, instead of being
// stretched to fill it.
TEST(RenderIcon, KeepsTheProportionsOfAnIconThatIsNotSquare)
{
    TemporaryFolder folder;
    std::string svg = folder.write("wide.svg",
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"32\" height=\"16\" viewBox=\"0 0 32 16\">"
        "<rect width=\"32\" height=\"16\" fill=\"#ff0000\"/></svg>");
    std::string png = folder.file("wide.png");
    auto result = renderIcon({ svg, "64", png });
    ASSERT_TRUE(result.succeeded()) << result.standardError;
    QImage image(QString::fromStdString(png));
    ASSERT_EQ(image.size(), QSize(64, 64));
    EXPECT_EQ(image.pixelColor(32, 4).alpha(), 0);
    EXPECT_EQ(image.pixelColor(32, 60).alpha(), 0);
    EXPECT_EQ(image.pixelColor(32, 32), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(1, 32), QColor(Qt::red));
}

// A file that is no SVG, a truncated one or a missing one fails the build step, and leaves the
// icon of an earlier build as it was rather than an empty or half-written one.
TEST(RenderIcon, RefusesWhatIsNoSvgAndKeepsTheEarlierIcon)
{
    TemporaryFolder folder;
    std::string png = folder.file("icon.png");
    ASSERT_TRUE(renderIcon({ programIcon(), "32", png }).succeeded());
    const std::string earlier = readFile(png);
    const std::string full = readFile(programIcon());
    const std::vector<std::string> broken = { folder.write("text.svg", "not an image at all\n"),
        folder.write("truncated.svg", full.substr(0, full.size() / 2)), folder.write("empty.svg", ""),
        folder.file("missing.svg") };
    for (const std::string& svg : broken) {
        auto result = renderIcon({ svg, "32", png });
        EXPECT_EQ(exitCodeOf(result), 1) << svg << result.standardError;
        EXPECT_NE(result.standardError.find("is not a readable SVG image"), std::string::npos) << svg;
        EXPECT_EQ(readFile(png), earlier) << svg;
    }
}

// Sizes that no icon theme holds, and a wrong number of arguments, are a mistake in the build:
// a usage error, and nothing written.
TEST(RenderIcon, RefusesSizesOutsideTheThemesAndWrongArguments)
{
    TemporaryFolder folder;
    std::string png = folder.file("icon.png");
    for (const char* size : { "0", "-16", "16px", "", "1025", "99999999999" }) {
        auto result = renderIcon({ programIcon(), size, png });
        EXPECT_EQ(exitCodeOf(result), 2) << '"' << size << '"';
        EXPECT_FALSE(std::filesystem::exists(png)) << size;
    }
    EXPECT_EQ(exitCodeOf(renderIcon({ programIcon(), "16" })), 2);
    EXPECT_EQ(exitCodeOf(renderIcon({})), 2);
    EXPECT_TRUE(renderIcon({ programIcon(), "1024", png }).succeeded());
}

// A target that cannot be written (its folder is missing) fails instead of reporting success.
TEST(RenderIcon, FailsWhenTheTargetCannotBeWritten)
{
    TemporaryFolder folder;
    auto result = renderIcon({ programIcon(), "16", folder.file("no/such/folder/icon.png") });
    EXPECT_EQ(exitCodeOf(result), 1);
    EXPECT_NE(result.standardError.find("cannot be written"), std::string::npos) << result.standardError;
}
