// A multiple-document template: makes a document, a child frame and its views for one kind
// of window, keeps the documents it made, and answers how well it fits a path.
//
// The template string holds seven fields separated by "\n": window title, document name,
// name for a new file, filter name, filter extension(s), file type id, file type name.
//
// Threads: interface thread only. Ownership: the template owns its documents; the
// application owns the templates.
#pragma once

#include "core/Document.h"
#include "fw/View.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QWidget;

namespace fw {

class ChildFrame;
class WinApp;

// How well a template fits a path, weakest first.
enum class Confidence
{
    noAttempt,
    maybeAttemptForeign,
    maybeAttemptNative,
    yesAttemptForeign,
    yesAttemptNative,
    yesAlreadyOpen,
};

enum class DocString
{
    windowTitle,
    docName,
    fileNewName,
    filterName,
    filterExt,
    regFileTypeId,
    regFileTypeName,
};

class MultiDocTemplate
{
public:
    using DocumentFactory = std::function<std::unique_ptr<core::CDocument>()>;
    using FrameFactory = std::function<ChildFrame*(MultiDocTemplate&, core::CDocument&)>;
    using ViewFactory = std::function<View*(core::CDocument&, QWidget*)>;

    MultiDocTemplate(int resourceId, std::string docString, DocumentFactory makeDocument,
                     FrameFactory makeFrame, ViewFactory makeView, ViewClass viewClass);
    MultiDocTemplate(const MultiDocTemplate&) = delete;
    MultiDocTemplate& operator=(const MultiDocTemplate&) = delete;
    virtual ~MultiDocTemplate();

    int GetResourceId() const { return m_resourceId; }
    std::string GetDocString(DocString index) const;

    // The framework's rule: a document of this template with the path (ignoring case) is
    // already open; else an extension equal to the filter extension is native; else foreign.
    virtual Confidence MatchDocType(std::string_view path, core::CDocument*& match) const;

    // Opens path (kept form) in a new document and a new frame; an empty path makes a new
    // document. None when the load failed (the user has been told).
    core::CDocument* OpenDocumentFile(std::string_view path, bool makeVisible = true);

    // A new child frame with its views for document (one of this template's), placed in the
    // main frame but not shown; InitialUpdateFrame shows and activates it.
    ChildFrame* CreateNewFrame(core::CDocument& document);
    void InitialUpdateFrame(ChildFrame* frame, bool makeVisible);
    // A view of the template's view class.
    View* CreateView(core::CDocument& document, QWidget* parent) const;
    ViewClass GetViewClass() const { return m_viewClass; }

    std::vector<core::CDocument*> GetDocuments() const;
    core::CDocument* GetFirstDocument() const;
    bool HasDocument(const void* document) const;
    // Adopts a document made elsewhere (tests, New).
    core::CDocument* AddDocument(std::unique_ptr<core::CDocument> document);
    // Closes the document when no view shows it any more.
    void CloseDocumentIfUnused(core::CDocument& document);

    void SetApp(WinApp* app) { m_app = app; }
    WinApp* GetApp() const { return m_app; }

private:
    int m_resourceId;
    std::vector<std::string> m_fields;
    DocumentFactory m_makeDocument;
    FrameFactory m_makeFrame;
    ViewFactory m_makeView;
    ViewClass m_viewClass;
    std::vector<std::unique_ptr<core::CDocument>> m_documents;
    WinApp* m_app = nullptr;
};

// Compares paths the way the documents' paths are compared: bytes, ASCII letters folded.
bool SamePath(std::string_view a, std::string_view b);
// The extension of the path's last component with its dot ("" when none).
std::string_view PathExtension(std::string_view path);

} // namespace fw
