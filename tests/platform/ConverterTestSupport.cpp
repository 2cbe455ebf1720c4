#include "tests/platform/ConverterTestSupport.h"

#include "platform/ChildProcess.h"

#include <QImage>
#include <QPainter>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

using platform::ChildProcess;
using namespace std::chrono_literals;

namespace convertertest {

std::string corpusDocument(const std::string& relativePath)
{
    return "/work/shared/corpus/documents/" + relativePath;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::string exportWithLibreOffice(const std::string& document, const std::string& filter,
    const std::string& outputFolder, const std::string& profileFolder, std::string& error)
{
    auto result = ChildProcess::run({ "soffice", "-env:UserInstallation=file://" + profileFolder, "--headless",
                                        "--norestore", "--convert-to", filter, "--outdir", outputFolder, document },
        180s);
    std::string stem = std::filesystem::path(document).stem().string();
    std::string extension = filter.substr(0, filter.find(':'));
    std::string output = outputFolder + "/" + stem + "." + extension;
    if (!result.succeeded() || !std::filesystem::exists(output)) {
        error = "soffice failed: " + result.error + result.standardError + result.standardOutput;
        return {};
    }
    return output;
}

static std::vector<std::string> chromiumArguments(const std::string& profileFolder)
{
    return { "chromium", "--headless", "--no-sandbox", "--disable-gpu", "--disable-background-networking",
        "--no-first-run", "--hide-scrollbars", "--user-data-dir=" + profileFolder };
}

bool chromiumScreenshot(const std::string& url, const std::string& png, const std::string& profileFolder)
{
    auto arguments = chromiumArguments(profileFolder);
    arguments.insert(arguments.end(), { "--window-size=800,1000", "--screenshot=" + png, url });
    return ChildProcess::run(arguments, 90s).succeeded() && std::filesystem::exists(png);
}

std::string chromiumDom(const std::string& url, const std::string& profileFolder)
{
    auto arguments = chromiumArguments(profileFolder);
    arguments.insert(arguments.end(), { "--dump-dom", url });
    return ChildProcess::run(arguments, 90s).standardOutput;
}

long inkedPixels(const std::string& png)
{
    QImage image(QString::fromStdString(png));
    if (image.isNull())
        return -1;
    image = image.convertToFormat(QImage::Format_RGB32);
    long count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            QRgb pixel = image.pixel(x, y);
            if (qRed(pixel) + qGreen(pixel) + qBlue(pixel) < 3 * 230)
                ++count;
        }
    }
    return count;
}

double meanDifference(const std::string& pngA, const std::string& pngB, int tolerance)
{
    QImage a(QString::fromStdString(pngA));
    QImage b(QString::fromStdString(pngB));
    if (a.isNull() || b.isNull() || std::abs(a.width() - b.width()) > tolerance
        || std::abs(a.height() - b.height()) > tolerance)
        return -1;
    // Transparent areas count as the white paper they are printed on.
    QImage paperA(a.size(), QImage::Format_RGB32);
    paperA.fill(Qt::white);
    QImage paperB(b.size(), QImage::Format_RGB32);
    paperB.fill(Qt::white);
    {
        QPainter painter(&paperA);
        painter.drawImage(0, 0, a);
    }
    {
        QPainter painter(&paperB);
        painter.drawImage(0, 0, b);
    }
    int width = std::min(a.width(), b.width());
    int height = std::min(a.height(), b.height());
    double total = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            QRgb p = paperA.pixel(x, y);
            QRgb q = paperB.pixel(x, y);
            total += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
    }
    return total / (3.0 * width * height);
}

}
