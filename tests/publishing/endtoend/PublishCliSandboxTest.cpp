// pressling-cli publish on documents that link to a host on this machine that never answers, to
// a host that does not resolve, and to files outside their folder: no office reaches any of them.
#include "EndToEndSupport.h"
#include "EngineTestSupport.h"

#include "platform/ChildProcess.h"
#include "tests/support/LoopbackListener.h"
#include "tests/support/ReadFile.h"
#include "tests/support/TemporaryFolder.h"
#include "tests/support/ZipBuilder.h"

#include <gtest/gtest.h>

#include <gsf/gsf-infile-zip.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-stdio.h>
#include <gsf/gsf-utils.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;
using platform::ChildProcess;

namespace {

const std::string secretText = "SECRET-OUTSIDE-THE-FOLDER-4711";

void writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

// The text a reader gets out of a PDF or XPS file.
std::string pageText(const std::string& path, const std::string& scratch)
{
    std::string pdf = path;
    if (path.size() > 4 && path.compare(path.size() - 4, 4, ".xps") == 0) {
        pdf = scratch + "/converted.pdf";
        ChildProcess::run({ "xpstopdf", path, pdf }, std::chrono::minutes(1));
    }
    return ChildProcess::run({ "pdftotext", pdf, "-" }, std::chrono::minutes(1)).standardOutput;
}

std::string utf16Le(const std::string& ascii)
{
    std::string bytes;
    for (char c : ascii)
        bytes += std::string { c, '\0' };
    return bytes;
}

// A Word document whose picture is only linked, with a field that includes a picture from the
// web and a template attached from the web.
std::string linkedWordDocument(const std::string& web)
{
    const std::string namespaces
        = "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\" "
          "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\" "
          "xmlns:wp=\"http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing\" "
          "xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" "
          "xmlns:pic=\"http://schemas.openxmlformats.org/drawingml/2006/picture\"";
    const std::string picture
        = "<w:r><w:drawing><wp:inline><wp:extent cx=\"914400\" cy=\"914400\"/><wp:docPr id=\"1\" name=\"Picture 1\"/>"
          "<a:graphic><a:graphicData uri=\"http://schemas.openxmlformats.org/drawingml/2006/picture\"><pic:pic>"
          "<pic:nvPicPr><pic:cNvPr id=\"1\" name=\"linked.png\"/><pic:cNvPicPr/></pic:nvPicPr>"
          "<pic:blipFill><a:blip r:link=\"rIdPicture\"/><a:stretch><a:fillRect/></a:stretch></pic:blipFill>"
          "<pic:spPr><a:xfrm><a:off x=\"0\" y=\"0\"/><a:ext cx=\"914400\" cy=\"914400\"/></a:xfrm>"
          "<a:prstGeom prst=\"rect\"/></pic:spPr></pic:pic></a:graphicData></a:graphic></wp:inline></w:drawing></w:r>";
    const std::string field = "<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText xml:space=\"preserve\">"
                              " INCLUDEPICTURE \"" + web + "/field.png\" \\d </w:instrText></w:r>"
                              "<w:r><w:fldChar w:fldCharType=\"separate\"/></w:r><w:r><w:t>field</w:t></w:r>"
                              "<w:r><w:fldChar w:fldCharType=\"end\"/></w:r>";
    const std::string relationships = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                                      "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
    const std::string type = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
    return ZipBuilder()
        .add("[Content_Types].xml",
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
            "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
            "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
            "<Override PartName=\"/word/document.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/>"
            "<Override PartName=\"/word/settings.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.settings+xml\"/>"
            "</Types>")
        .add("_rels/.rels",
            relationships + "<Relationship Id=\"rId1\" Type=\"" + type + "officeDocument\" Target=\"word/document.xml\"/></Relationships>")
        .add("word/document.xml",
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?><w:document " + namespaces + "><w:body><w:p><w:r><w:t>Linked</w:t></w:r>"
                + picture + field + "</w:p></w:body></w:document>")
        .add("word/_rels/document.xml.rels",
            relationships + "<Relationship Id=\"rIdPicture\" Type=\"" + type + "image\" Target=\"" + web
                + "/external.png\" TargetMode=\"External\"/><Relationship Id=\"rIdSettings\" Type=\"" + type
                + "settings\" Target=\"settings.xml\"/></Relationships>")
        .add("word/settings.xml",
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?><w:settings " + namespaces
                + "><w:attachedTemplate r:id=\"rIdTemplate\"/></w:settings>")
        .add("word/_rels/settings.xml.rels",
            relationships + "<Relationship Id=\"rIdTemplate\" Type=\"" + type + "attachedTemplate\" Target=\"" + web
                + "/template.dotx\" TargetMode=\"External\"/></Relationships>")
        .bytes();
}

// The members of a zip package, in the order its folders list them.
void readMembers(GsfInfile* folder, const std::string& prefix, std::vector<std::pair<std::string, std::string>>& members)
{
    for (int index = 0; index < gsf_infile_num_children(folder); ++index) {
        GsfInput* child = gsf_infile_child_by_index(folder, index);
        std::string name = prefix + gsf_infile_name_by_index(folder, index);
        if (GSF_IS_INFILE(child) && gsf_infile_num_children(GSF_INFILE(child)) >= 0) {
            readMembers(GSF_INFILE(child), name + "/", members);
        } else {
            gsf_off_t size = gsf_input_size(child);
            const guint8* bytes = gsf_input_read(child, static_cast<size_t>(size), nullptr);
            members.emplace_back(name, bytes ? std::string(reinterpret_cast<const char*>(bytes), size) : std::string());
        }
        g_object_unref(child);
    }
}

// A presentation of the corpus with one more picture on its first slide, only linked from web.
std::string linkedPresentation(const std::string& web)
{
    gsf_init();
    GsfInput* input = gsf_input_stdio_new((corpusFolder() + "/documents/powerpoint/font-color.pptx").c_str(), nullptr);
    GsfInfile* package = input ? gsf_infile_zip_new(input, nullptr) : nullptr;
    std::vector<std::pair<std::string, std::string>> members;
    if (package)
        readMembers(package, "", members);
    for (GObject* object : { G_OBJECT(package), G_OBJECT(input) }) {
        if (object)
            g_object_unref(object);
    }
    ZipBuilder zip;
    for (auto& [name, bytes] : members) {
        if (name == "ppt/slides/slide1.xml")
            bytes.insert(bytes.find("</p:spTree>"),
                "<p:pic><p:nvPicPr><p:cNvPr id=\"99\" name=\"Linked\"/><p:cNvPicPr/><p:nvPr/></p:nvPicPr>"
                "<p:blipFill><a:blip r:link=\"rIdLinked\"/><a:stretch><a:fillRect/></a:stretch></p:blipFill>"
                "<p:spPr><a:xfrm><a:off x=\"0\" y=\"0\"/><a:ext cx=\"914400\" cy=\"914400\"/></a:xfrm>"
                "<a:prstGeom prst=\"rect\"><a:avLst/></a:prstGeom></p:spPr></p:pic>");
        if (name == "ppt/slides/_rels/slide1.xml.rels")
            bytes.insert(bytes.find("</Relationships>"),
                "<Relationship Id=\"rIdLinked\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                "relationships/image\" Target=\"" + web + "/slide.png\" TargetMode=\"External\"/>");
        zip.add(name, bytes);
    }
    EXPECT_GT(members.size(), 10u) << "the corpus presentation could not be read";
    return zip.bytes();
}

class PublishCliSandboxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Every link leads to a host that never answers, so that a job that followed one would
        // also be seen to wait on it.
        const std::string web = "http://127.0.0.1:" + std::to_string(m_host.port());
        m_secret = m_outside.file("secret.txt");
        writeFile(m_secret, secretText + "\n");
        const std::string secretUrl = "file://" + m_secret;
        // Writer/Web takes HTML under a Word name as it comes.
        writeFile(m_folder.file("page.doc"),
            "<html><head><title>Linked</title><link rel=\"stylesheet\" href=\"" + web + "/style.css\"></head><body>"
            "<p>A page with links</p><img src=\"" + web + "/picture.png\" width=\"20\" height=\"20\">"
            "<img src=\"http://host.invalid/tracking.png\">"
            "<img src=\"" + secretUrl + "\"><iframe src=\"" + secretUrl + "\"></iframe></body></html>");
        writeFile(m_folder.file("fields.doc"),
            "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 Fields "
            "{\\field{\\*\\fldinst INCLUDEPICTURE \"" + web + "/rtf.png\" \\\\d}{\\fldrslt }} "
            "{\\field{\\*\\fldinst INCLUDETEXT \"" + secretUrl + "\"}{\\fldrslt }} "
            "{\\field{\\*\\fldinst INCLUDETEXT \"" + web + "/text.txt\"}{\\fldrslt }}\\par}");
        writeFile(m_folder.file("linked.docx"), linkedWordDocument(web));
        writeFile(m_folder.file("linked.pptx"), linkedPresentation(web));
        m_documents = { m_folder.file("fields.doc"), m_folder.file("linked.docx"), m_folder.file("linked.pptx"),
            m_folder.file("page.doc") };
    }

    ChildProcess::RunResult publish(
        const std::string& format, const std::vector<std::pair<std::string, std::string>>& environment = {})
    {
        std::vector<std::string> argv = { PRESSLING_CLI_PATH, "publish", "--format", format, "--jobs", "2" };
        argv.insert(argv.end(), m_documents.begin(), m_documents.end());
        ChildProcess::Options options = cliOptions(m_registry.folder().path());
        options.environment.insert(options.environment.end(), environment.begin(), environment.end());
        return ChildProcess::run(argv, std::chrono::minutes(5), options);
    }

    // Every document OK, nothing reached the server, and no published file carries the file
    // that lies outside the documents' folder.
    void expectPublishedUnseen(const std::string& format, const std::string& suffix)
    {
        ChildProcess::RunResult result = publish(format);
        ASSERT_TRUE(result.started) << result.error;
        EXPECT_EQ(result.status.exitCode, 0) << format << "\n" << result.standardOutput << result.standardError;
        for (const std::string& document : m_documents) {
            EXPECT_NE(result.standardOutput.find("OK\t" + document + "\n"), std::string::npos)
                << format << "\n" << result.standardOutput;
            std::string output = document + suffix;
            ASSERT_TRUE(fs::exists(output)) << output;
            std::string text = suffix == ".pdf" || suffix == ".xps" ? pageText(output, m_outside.path()) : readFile(output);
            EXPECT_FALSE(suffix == ".pdf" && text.empty()) << output << " has no text to look through";
            EXPECT_EQ(text.find(secretText), std::string::npos) << output << " carries a file outside its folder";
            EXPECT_EQ(text.find(utf16Le(secretText)), std::string::npos) << output << " carries a file outside its folder";
        }
        EXPECT_EQ(m_host.connections(), 0) << format;
    }

    TestRegistry m_registry;
    LoopbackListener m_host;
    TemporaryFolder m_folder;
    TemporaryFolder m_outside;
    std::string m_secret;
    std::vector<std::string> m_documents;
};

}

// Catches an office that fetches what a document links to (a picture that tells its author
// who published it, a server only this machine can reach, a host that never answers) in any
// format, with sessions side by side.
TEST_F(PublishCliSandboxTest, NoFormatReachesTheNetworkOrFilesOutsideTheFolder)
{
    const std::pair<const char*, const char*> formats[] = { { "pdf", ".pdf" }, { "html", ".html" },
        { "mhtml", ".mhtml" }, { "text", ".txt" }, { "unicode", ".unicode.txt" }, { "xps", ".xps" } };
    for (const auto& [format, suffix] : formats)
        expectPublishedUnseen(format, suffix);
}

// Catches a machine without namespaces whose office still fetches: the office's own settings
// keep it off the network by themselves.
TEST_F(PublishCliSandboxTest, WithTheSandboxOffTheOfficeStillFetchesNothing)
{
    std::string registry = m_registry.folder().file("user.reg");
    std::string text = readFile(registry);
    const std::string key = "\\Pressling\\Config]\n";
    text.insert(text.find(key) + key.size(), "\"Sandbox\"=dword:00000000\n");
    writeFile(registry, text);
    expectPublishedUnseen("pdf", ".pdf");
    expectPublishedUnseen("html", ".html");
}

// Catches a job whose offices cannot start ending in bare NG rows, and a reason repeated for
// every session or document.
TEST_F(PublishCliSandboxTest, AnOfficeThatCannotStartIsExplainedOnce)
{
    // A temporary folder that anybody may rearrange: no profile is kept there.
    std::string open = m_outside.file("open");
    fs::create_directory(open);
    fs::permissions(open, fs::perms::all);
    ChildProcess::RunResult result = publish("pdf", { { "TMPDIR", open }, { "XDG_RUNTIME_DIR", "" } });
    ASSERT_TRUE(result.started) << result.error;
    EXPECT_EQ(result.status.exitCode, 1);
    for (const std::string& document : m_documents)
        EXPECT_NE(result.standardOutput.find("NG\t" + document + "\n"), std::string::npos) << result.standardOutput;
    const std::string reason = "pressling-cli: cannot keep a LibreOffice profile: the folder above " + open;
    size_t first = result.standardError.find(reason);
    ASSERT_NE(first, std::string::npos) << result.standardError;
    EXPECT_EQ(result.standardError.find(reason, first + 1), std::string::npos) << result.standardError;
}
