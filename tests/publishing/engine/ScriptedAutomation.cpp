#include "ScriptedAutomation.h"

#include "office/ComError.h"
#include "office/ExcelApplication.h"
#include "office/PowerPointApplication.h"
#include "office/WordApplication.h"

#include <fstream>

using namespace office;

bool OfficeScript::called(const std::string& call) const
{
    return count(call) > 0;
}

void OfficeScript::note(const std::string& call)
{
    std::lock_guard lock(mutex);
    calls.push_back(call);
}

OfficeScript::Document& OfficeScript::document(const std::string& path)
{
    std::lock_guard lock(mutex);
    return documents[path];
}

int OfficeScript::count(const std::string& call) const
{
    std::lock_guard lock(mutex);
    int found = 0;
    for (const std::string& entry : calls)
        found += entry == call ? 1 : 0;
    return found;
}

int OfficeScript::indexOf(const std::string& prefix) const
{
    std::lock_guard lock(mutex);
    for (size_t i = 0; i < calls.size(); ++i) {
        if (calls[i].rfind(prefix, 0) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

namespace {

class Recorder {
public:
    Recorder(std::shared_ptr<OfficeScript> script, std::string name)
        : m_script(std::move(script))
        , m_name(std::move(name))
    {
    }

protected:
    void record(const std::string& call)
    {
        m_script->note(m_name + "." + call);
        if (m_script->failingConfiguration == m_name && call.rfind("set", 0) == 0)
            throw ComError(hresult::fail, "scripted configuration failure");
    }
    OfficeScript::Document& document(const std::string& path) { return m_script->document(path); }

    std::shared_ptr<OfficeScript> m_script;
    std::string m_name;
};

// One scripted document, of whichever application: saving writes the output the script allows.
class ScriptedDocument : public Recorder {
public:
    ScriptedDocument(std::shared_ptr<OfficeScript> script, std::string name, std::string path)
        : Recorder(std::move(script), std::move(name))
        , m_path(std::move(path))
    {
    }

    bool isReadOnlyRecommended()
    {
        record("readOnlyRecommended");
        return document(m_path).readOnlyRecommended;
    }
    HResult save(const std::string& fileName, int32_t format)
    {
        record("saveAs(" + fileName + "," + std::to_string(format) + ")");
        OfficeScript::Document& scripted = document(m_path);
        if (scripted.saveThrows)
            throw ComError(hresult::exceptionOccurred, "scripted save failure");
        if (scripted.saveWritesOutput)
            std::ofstream(fileName, std::ios::binary | std::ios::trunc) << "published " << format;
        return scripted.saveStatus;
    }
    HResult closeDocument()
    {
        record("close");
        if (document(m_path).closeThrows)
            throw ComError(hresult::disconnected, "scripted close failure");
        return document(m_path).closeStatus;
    }

private:
    std::string m_path;
};

class WordDocumentFake : public WordDocument, ScriptedDocument {
public:
    using ScriptedDocument::ScriptedDocument;
    bool readOnlyRecommended() override { return isReadOnlyRecommended(); }
    HResult saveAs(const std::string& fileName, std::optional<int32_t> format) override
    {
        return save(fileName, format.value_or(-1));
    }
    HResult close(std::optional<int32_t>, std::optional<int32_t>, std::optional<bool>) override
    {
        return closeDocument();
    }
};

class WorkbookFake : public ExcelWorkbook, ScriptedDocument {
public:
    using ScriptedDocument::ScriptedDocument;
    bool readOnlyRecommended() override { return isReadOnlyRecommended(); }
    HResult saveAs(const std::string& fileName, std::optional<int32_t> format, std::optional<std::string>,
        std::optional<std::string>, std::optional<bool>, std::optional<bool>,
        std::optional<int32_t> accessMode) override
    {
        if (accessMode)
            record("accessMode(" + std::to_string(*accessMode) + ")");
        return save(fileName, format.value_or(-1));
    }
    HResult close(std::optional<bool>, std::optional<std::string>, std::optional<bool>) override
    {
        return closeDocument();
    }
};

class PresentationFake : public PowerPointPresentation, ScriptedDocument {
public:
    using ScriptedDocument::ScriptedDocument;
    HResult saveAs(const std::string& fileName, std::optional<int32_t> format) override
    {
        return save(fileName, format.value_or(-1));
    }
    HResult close() override { return closeDocument(); }
};

// What the three collections share: the open call that consults the script, and Count.
class CollectionRecorder : public Recorder {
public:
    CollectionRecorder(std::shared_ptr<OfficeScript> script, std::string name, int openCount)
        : Recorder(std::move(script), std::move(name))
        , m_openCount(openCount)
    {
    }

protected:
    template <typename Fake> std::shared_ptr<Fake> openPath(const std::string& path)
    {
        record("open(" + path + ")");
        if (m_script->onOpen)
            m_script->onOpen(path);
        if (document(path).openReturnsNothing)
            return nullptr;
        return std::make_shared<Fake>(m_script, m_name, path);
    }
    int32_t countOpen()
    {
        record("count");
        return m_openCount;
    }

private:
    int m_openCount;
};

class DocumentsFake : public WordDocuments, CollectionRecorder {
public:
    using CollectionRecorder::CollectionRecorder;
    std::shared_ptr<WordDocument> open(
        const std::string& fileName, std::optional<bool>, std::optional<bool>, std::optional<bool>) override
    {
        return openPath<WordDocumentFake>(fileName);
    }
    int32_t count() override { return countOpen(); }
};

class WorkbooksFake : public ExcelWorkbooks, CollectionRecorder {
public:
    using CollectionRecorder::CollectionRecorder;
    std::shared_ptr<ExcelWorkbook> open(
        const std::string& fileName, std::optional<int32_t>, std::optional<bool>) override
    {
        return openPath<WorkbookFake>(fileName);
    }
    int32_t count() override { return countOpen(); }
};

class PresentationsFake : public PowerPointPresentations, CollectionRecorder {
public:
    using CollectionRecorder::CollectionRecorder;
    std::shared_ptr<PowerPointPresentation> open(
        const std::string& fileName, std::optional<bool>, std::optional<bool>, std::optional<bool>) override
    {
        return openPath<PresentationFake>(fileName);
    }
    int32_t count() override { return countOpen(); }
};

class WordFake : public WordApplication, Recorder {
public:
    explicit WordFake(std::shared_ptr<OfficeScript> script)
        : Recorder(std::move(script), "Word")
    {
    }
    void setScreenUpdating(bool updating) override
    {
        record("setScreenUpdating(" + std::to_string(updating) + ")");
    }
    void setDisplayAlerts(int32_t alerts) override
    {
        record("setDisplayAlerts(" + std::to_string(alerts) + ")");
    }
    void setAutomationSecurity(int32_t security) override
    {
        record("setAutomationSecurity(" + std::to_string(security) + ")");
    }
    void setVisible(bool visible) override { record("setVisible(" + std::to_string(visible) + ")"); }
    std::shared_ptr<WordDocuments> documents() override
    {
        record("documents");
        return std::make_shared<DocumentsFake>(m_script, "Word", 0);
    }
    void quit(std::optional<int32_t>, std::optional<int32_t>, std::optional<bool>) override
    {
        record("quit");
    }
};

class ExcelFake : public ExcelApplication, Recorder {
public:
    explicit ExcelFake(std::shared_ptr<OfficeScript> script)
        : Recorder(std::move(script), "Excel")
    {
    }
    void setVisible(bool visible) override { record("setVisible(" + std::to_string(visible) + ")"); }
    void setDisplayAlerts(bool alerts) override
    {
        record("setDisplayAlerts(" + std::to_string(alerts) + ")");
    }
    void setDisplayInfoWindow(bool display) override
    {
        record("setDisplayInfoWindow(" + std::to_string(display) + ")");
    }
    void setInteractive(bool interactive) override
    {
        record("setInteractive(" + std::to_string(interactive) + ")");
    }
    void setScreenUpdating(bool updating) override
    {
        record("setScreenUpdating(" + std::to_string(updating) + ")");
    }
    void setAutomationSecurity(int32_t security) override
    {
        record("setAutomationSecurity(" + std::to_string(security) + ")");
    }
    std::shared_ptr<ExcelWorkbooks> workbooks() override
    {
        record("workbooks");
        return std::make_shared<WorkbooksFake>(m_script, "Excel", m_script->excelOpenWorkbooks);
    }
    void quit() override { record("quit"); }
};

class PowerPointFake : public PowerPointApplication, Recorder {
public:
    explicit PowerPointFake(std::shared_ptr<OfficeScript> script)
        : Recorder(std::move(script), "PowerPoint")
    {
    }
    int32_t windowState() override
    {
        record("windowState");
        return 2;
    }
    void setWindowState(int32_t state) override { record("setWindowState(" + std::to_string(state) + ")"); }
    void setDisplayAlerts(int32_t alerts) override
    {
        record("setDisplayAlerts(" + std::to_string(alerts) + ")");
    }
    void setAutomationSecurity(int32_t security) override
    {
        record("setAutomationSecurity(" + std::to_string(security) + ")");
    }
    std::shared_ptr<PowerPointPresentations> presentations() override
    {
        record("presentations");
        return std::make_shared<PresentationsFake>(
            m_script, "PowerPoint", m_script->powerPointOpenPresentations);
    }
    intptr_t hwnd() override { return 0; }
    void quit() override { record("quit"); }
};

}

ScriptedAutomation::ScriptedAutomation(std::shared_ptr<OfficeScript> script)
    : m_script(std::move(script))
{
    ++m_script->automationsCreated;
}

ScriptedAutomation::~ScriptedAutomation()
{
    ++m_script->automationsDestroyed;
    m_script->note("automation.end");
}

HResult ScriptedAutomation::createInstance(
    const std::string& progId, std::shared_ptr<AutomationApplication>& application)
{
    m_script->note("create(" + progId + ")");
    auto scripted = m_script->createResults.find(progId);
    if (scripted != m_script->createResults.end() && failed(scripted->second))
        return scripted->second;
    if (progId == "Word.Application")
        application = std::make_shared<WordFake>(m_script);
    else if (progId == "Excel.Application")
        application = std::make_shared<ExcelFake>(m_script);
    else if (progId == "PowerPoint.Application")
        application = std::make_shared<PowerPointFake>(m_script);
    else
        return hresult::invalidClassString;
    return hresult::ok;
}
