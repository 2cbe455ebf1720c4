#include "tests/office/libreoffice/OfficeTestSupport.h"

#include "office/libreoffice/LibreOfficeProcess.h"
#include "platform/ChildProcess.h"

#include <QStringDecoder>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>

using namespace std::chrono_literals;

namespace officetest {

namespace {

std::unique_ptr<office::LibreOfficeAutomation> office;
std::shared_ptr<office::WordApplication> word;
std::shared_ptr<office::ExcelApplication> excel;
std::shared_ptr<office::PowerPointApplication> powerPoint;

// Ends the shared LibreOffice after the last test, so that the program leaves nothing behind.
class SharedOfficeEnvironment : public ::testing::Environment {
public:
    void TearDown() override
    {
        word.reset();
        excel.reset();
        powerPoint.reset();
        office.reset();
    }
};

[[maybe_unused]] ::testing::Environment* const environment
    = ::testing::AddGlobalTestEnvironment(new SharedOfficeEnvironment);

std::string sourceFolder()
{
    if (const char* source = std::getenv("PRESSLING_SOURCE_DIR"); source && *source)
        return source;
    // Run by hand or by a runner that drops the environment: the checkout this file is in.
    return std::filesystem::path(__FILE__).parent_path().parent_path().parent_path().parent_path().string();
}

platform::ChildProcess::RunResult runReader(
    const std::vector<std::string>& argv, std::chrono::milliseconds limit)
{
    platform::ChildProcess::RunResult result = platform::ChildProcess::run(argv, limit);
    EXPECT_TRUE(result.succeeded()) << argv[0] << " failed: " << result.error << result.standardError;
    return result;
}

}

std::string corpus(const std::string& relative)
{
    return sourceFolder() + "/../shared/corpus/" + relative;
}

std::string testData(const std::string& relative)
{
    return sourceFolder() + "/tests/data/" + relative;
}

std::vector<std::string> corpusFiles(const std::string& folder, const std::vector<std::string>& extensions)
{
    std::vector<std::string> files;
    std::error_code failure;
    for (const auto& entry : std::filesystem::directory_iterator(corpus(folder), failure)) {
        std::string name = entry.path().filename().string();
        for (const std::string& extension : extensions) {
            if (name.size() > extension.size()
                && name.compare(name.size() - extension.size(), extension.size(), extension) == 0)
                files.push_back(entry.path().string());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

office::LibreOfficeAutomation& sharedOffice()
{
    if (!office)
        office = std::make_unique<office::LibreOfficeAutomation>();
    return *office;
}

std::shared_ptr<office::WordApplication> startWord(office::LibreOfficeAutomation& automation)
{
    std::shared_ptr<office::WordApplication> started;
    EXPECT_EQ(automation.createApplication("Word.Application", started), office::hresult::ok);
    return started;
}

std::shared_ptr<office::WordApplication> sharedWord()
{
    if (!word) {
        EXPECT_EQ(sharedOffice().createApplication("Word.Application", word), office::hresult::ok);
        word->setScreenUpdating(false);
        word->setDisplayAlerts(0);
        word->setAutomationSecurity(3);
    }
    return word;
}

std::shared_ptr<office::ExcelApplication> sharedExcel()
{
    if (!excel) {
        EXPECT_EQ(sharedOffice().createApplication("Excel.Application", excel), office::hresult::ok);
        excel->setVisible(false);
        excel->setDisplayAlerts(false);
        excel->setDisplayInfoWindow(false);
        excel->setInteractive(false);
        excel->setScreenUpdating(false);
        excel->setAutomationSecurity(3);
    }
    return excel;
}

std::shared_ptr<office::PowerPointApplication> sharedPowerPoint()
{
    if (!powerPoint) {
        EXPECT_EQ(
            sharedOffice().createApplication("PowerPoint.Application", powerPoint), office::hresult::ok);
        powerPoint->setDisplayAlerts(1);
        powerPoint->setAutomationSecurity(3);
    }
    return powerPoint;
}

bool fileExists(const std::string& path)
{
    return std::filesystem::is_regular_file(path);
}

std::string pdfInfo(const std::string& pdf)
{
    return runReader({ "pdfinfo", pdf }, 60s).standardOutput;
}

int pdfPageCount(const std::string& pdf)
{
    std::istringstream lines(pdfInfo(pdf));
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind("Pages:", 0) == 0)
            return std::atoi(line.c_str() + 6);
    }
    return 0;
}

std::string pdfText(const std::string& pdf)
{
    return runReader({ "pdftotext", "-enc", "UTF-8", pdf, "-" }, 60s).standardOutput;
}

std::string chromiumDom(const std::string& page)
{
    std::string profile = std::filesystem::path(page).parent_path().string() + "/.chromium-profile";
    return runReader({ "chromium", "--headless", "--no-sandbox", "--disable-gpu",
                         "--user-data-dir=" + profile, "--dump-dom", "file://" + page },
        120s)
        .standardOutput;
}

std::string xpsAsPdf(const std::string& xps, const std::string& pdf)
{
    runReader({ "xpstopdf", xps, pdf }, 120s);
    return pdf;
}

bool decodeUtf16Le(const std::string& bytes, std::string& utf8)
{
    // Qt's decoder is the independent reader here: it knows nothing of how we wrote the text.
    utf8.clear();
    if (bytes.size() < 2 || bytes.size() % 2 != 0 || static_cast<unsigned char>(bytes[0]) != 0xFF
        || static_cast<unsigned char>(bytes[1]) != 0xFE)
        return false;
    QStringDecoder decoder(QStringConverter::Utf16LE, QStringConverter::Flag::Stateless);
    QString text = decoder(QByteArrayView(bytes.data() + 2, static_cast<qsizetype>(bytes.size() - 2)));
    // The decoder passes lone surrogates through, so they are looked for separately.
    if (decoder.hasError() || !QStringView(text).isValidUtf16())
        return false;
    utf8 = text.toStdString();
    return true;
}

bool onlyCrlfLineEnds(const std::string& text)
{
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            return false;
        if (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n'))
            return false;
    }
    return true;
}

std::vector<std::string> sampleWords(const std::string& text, size_t count)
{
    std::vector<std::string> words;
    std::string word;
    auto finish = [&] {
        if (word.size() >= 5 && std::find(words.begin(), words.end(), word) == words.end()
            && words.size() < count)
            words.push_back(word);
        word.clear();
    };
    for (char c : text) {
        if (std::isalpha(static_cast<unsigned char>(c)) && static_cast<unsigned char>(c) < 0x80)
            word += c;
        else
            finish();
    }
    finish();
    return words;
}

std::string squeezed(const std::string& text)
{
    std::string result;
    for (char c : text) {
        if (!std::isspace(static_cast<unsigned char>(c)))
            result += c;
    }
    return result;
}

bool officeGone(const std::string& profileUrl)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (office::LibreOfficeProcess::officeProcessesOf(profileUrl).empty())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

}
