#include "fw/DocTemplate.h"

#include "fw/ChildFrame.h"
#include "fw/MDIFrame.h"
#include "fw/WinApp.h"

#include <QApplication>
#include <algorithm>

namespace fw {

namespace {

char FoldAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::vector<std::string> SplitFields(const std::string& text)
{
    std::vector<std::string> fields;
    std::string::size_type start = 0;
    while (true) {
        const auto end = text.find('\n', start);
        fields.push_back(text.substr(start, end == std::string::npos ? end : end - start));
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    return fields;
}

} // namespace

bool SamePath(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return FoldAscii(x) == FoldAscii(y);
           });
}

std::string_view PathExtension(std::string_view path)
{
    const auto slash = path.find_last_of("\\/");
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const auto dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string_view{} : name.substr(dot);
}

MultiDocTemplate::MultiDocTemplate(int resourceId, std::string docString,
                                   DocumentFactory makeDocument, FrameFactory makeFrame,
                                   ViewFactory makeView, ViewClass viewClass)
    : m_resourceId(resourceId), m_fields(SplitFields(docString)),
      m_makeDocument(std::move(makeDocument)), m_makeFrame(std::move(makeFrame)),
      m_makeView(std::move(makeView)), m_viewClass(viewClass)
{
}

MultiDocTemplate::~MultiDocTemplate() = default;

std::string MultiDocTemplate::GetDocString(DocString index) const
{
    const auto i = static_cast<std::size_t>(index);
    return i < m_fields.size() ? m_fields[i] : std::string();
}

Confidence MultiDocTemplate::MatchDocType(std::string_view path, core::CDocument*& match) const
{
    match = nullptr;
    for (const auto& document : m_documents) {
        if (SamePath(document->GetPathName(), path)) {
            match = document.get();
            return Confidence::yesAlreadyOpen;
        }
    }
    const std::string filter = GetDocString(DocString::filterExt);
    if (!filter.empty() && SamePath(PathExtension(path), filter)) {
        return Confidence::yesAttemptNative;
    }
    return Confidence::yesAttemptForeign;
}

core::CDocument* MultiDocTemplate::OpenDocumentFile(std::string_view path, bool makeVisible)
{
    std::unique_ptr<core::CDocument> made = m_makeDocument();
    if (!made) {
        return nullptr;
    }
    if (m_app != nullptr) {
        made->SetPrompter(&m_app->GetPrompter());
    }
    if (path.empty()) {
        if (!made->OnNewDocument()) {
            return nullptr;
        }
        made->SetTitle({});
    } else {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const bool loaded = made->OnOpenDocument(path);
        QApplication::restoreOverrideCursor();
        if (!loaded) {
            return nullptr;
        }
        made->SetPathName(path);
    }
    core::CDocument* document = AddDocument(std::move(made));
    ChildFrame* frame = CreateNewFrame(*document);
    if (frame == nullptr) {
        CloseDocumentIfUnused(*document);
        return nullptr;
    }
    InitialUpdateFrame(frame, makeVisible);
    return document;
}

ChildFrame* MultiDocTemplate::CreateNewFrame(core::CDocument& document)
{
    if (m_app == nullptr || m_app->GetMainWnd() == nullptr) {
        return nullptr;
    }
    ChildFrame* frame = m_makeFrame(*this, document);
    if (frame == nullptr) {
        return nullptr;
    }
    frame->CreateViews();
    m_app->GetMainWnd()->AddChildFrame(frame);
    return frame;
}

void MultiDocTemplate::InitialUpdateFrame(ChildFrame* frame, bool makeVisible)
{
    frame->InitialUpdate();
    if (makeVisible) {
        frame->show();
        m_app->GetMainWnd()->FitInClientArea(frame);
        m_app->GetMainWnd()->ActivateFrame(frame);
    }
}

View* MultiDocTemplate::CreateView(core::CDocument& document, QWidget* parent) const
{
    return m_makeView ? m_makeView(document, parent) : nullptr;
}

std::vector<core::CDocument*> MultiDocTemplate::GetDocuments() const
{
    std::vector<core::CDocument*> documents;
    for (const auto& document : m_documents) {
        documents.push_back(document.get());
    }
    return documents;
}

core::CDocument* MultiDocTemplate::GetFirstDocument() const
{
    return m_documents.empty() ? nullptr : m_documents.front().get();
}

bool MultiDocTemplate::HasDocument(const void* document) const
{
    return std::any_of(m_documents.begin(), m_documents.end(),
                       [document](const auto& owned) { return owned.get() == document; });
}

core::CDocument* MultiDocTemplate::AddDocument(std::unique_ptr<core::CDocument> document)
{
    m_documents.push_back(std::move(document));
    return m_documents.back().get();
}

void MultiDocTemplate::CloseDocumentIfUnused(core::CDocument& document)
{
    // Found by address first: the document may belong to another template, or be gone.
    const auto found =
        std::find_if(m_documents.begin(), m_documents.end(),
                     [&document](const auto& owned) { return owned.get() == &document; });
    if (found == m_documents.end() || !document.GetViews().empty()) {
        return;
    }
    if (m_app != nullptr) {
        m_app->OnDocumentClosing(&document);
    }
    // Take it out of the list before destroying it, so nothing finds it half destroyed.
    std::unique_ptr<core::CDocument> closing = std::move(*found);
    m_documents.erase(found);
    closing.reset();
}

} // namespace fw
