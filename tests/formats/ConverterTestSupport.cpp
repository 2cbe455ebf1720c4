#include "tests/formats/ConverterTestSupport.h"

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

std::vector<std::string> exportAllWithLibreOffice(const std::vector<std::string>& documents,
    const std::string& filter, const std::string& outputFolder, const std::string& profileFolder,
    std::string& error)
{
    std::vector<std::string> arguments = { "soffice", "-env:UserInstallation=file://" + profileFolder,
        "--headless", "--norestore", "--convert-to", filter, "--outdir", outputFolder };
    arguments.insert(arguments.end(), documents.begin(), documents.end());
    auto result = ChildProcess::run(arguments, 300s);
    std::vector<std::string> outputs;
    std::string extension = filter.substr(0, filter.find(':'));
    for (const std::string& document : documents) {
        std::string output
            = outputFolder + "/" + std::filesystem::path(document).stem().string() + "." + extension;
        if (!std::filesystem::exists(output)) {
            error = "soffice did not export " + document + ": " + result.error + result.standardError;
            return {};
        }
        outputs.push_back(output);
    }
    return outputs;
}

std::string exportWithLibreOffice(const std::string& document, const std::string& filter,
    const std::string& outputFolder, const std::string& profileFolder, std::string& error)
{
    auto result
        = ChildProcess::run({ "soffice", "-env:UserInstallation=file://" + profileFolder, "--headless",
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

static QImage onPaper(const QImage& image)
{
    QImage paper(image.size(), QImage::Format_RGB32);
    paper.fill(Qt::white);
    QPainter painter(&paper);
    painter.drawImage(0, 0, image);
    return paper;
}

static std::vector<bool> inkedBlocks(const QImage& image, int& columns, int& rows)
{
    constexpr int block = 8;
    QImage paper = onPaper(image);
    columns = (paper.width() + block - 1) / block;
    rows = (paper.height() + block - 1) / block;
    std::vector<bool> inked(static_cast<size_t>(columns * rows), false);
    for (int y = 0; y < paper.height(); ++y) {
        for (int x = 0; x < paper.width(); ++x) {
            QRgb pixel = paper.pixel(x, y);
            if (qRed(pixel) + qGreen(pixel) + qBlue(pixel) < 3 * 220)
                inked[static_cast<size_t>((y / block) * columns + x / block)] = true;
        }
    }
    return inked;
}

double inkOverlap(const std::string& pngA, const std::string& pngB)
{
    QImage a(QString::fromStdString(pngA));
    QImage b(QString::fromStdString(pngB));
    if (a.isNull() || b.isNull())
        return -1;
    int columnsA, rowsA, columnsB, rowsB;
    auto inkA = inkedBlocks(a, columnsA, rowsA);
    auto inkB = inkedBlocks(b, columnsB, rowsB);
    int both = 0, either = 0;
    for (int y = 0; y < std::max(rowsA, rowsB); ++y) {
        for (int x = 0; x < std::max(columnsA, columnsB); ++x) {
            bool p = y < rowsA && x < columnsA && inkA[static_cast<size_t>(y * columnsA + x)];
            bool q = y < rowsB && x < columnsB && inkB[static_cast<size_t>(y * columnsB + x)];
            both += p && q;
            either += p || q;
        }
    }
    return either == 0 ? 1.0 : static_cast<double>(both) / either;
}

double meanDifference(const std::string& pngA, const std::string& pngB, int tolerance)
{
    QImage a(QString::fromStdString(pngA));
    QImage b(QString::fromStdString(pngB));
    if (a.isNull() || b.isNull() || std::abs(a.width() - b.width()) > tolerance
        || std::abs(a.height() - b.height()) > tolerance)
        return -1;
    // Transparent areas count as the white paper they are printed on.
    QImage paperA = onPaper(a);
    QImage paperB = onPaper(b);
    int width = std::min(a.width(), b.width());
    int height = std::min(a.height(), b.height());
    double total = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            QRgb p = paperA.pixel(x, y);
            QRgb q = paperB.pixel(x, y);
            total += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q))
                + std::abs(qBlue(p) - qBlue(q));
        }
    }
    return total / (3.0 * width * height);
}

}
