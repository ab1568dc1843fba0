// The document base: one file's data with its path, title and modified flag, the views that
// show it, and opening and saving through an archive on the file.
//
// Opening reads the whole document through Serialize; a CArchiveException raised there is a
// failed load: the contents are deleted, the failure is told through the document's Prompter,
// and OnOpenDocument returns false so that the owner discards the document. Saving writes a
// new file beside the old one and renames it over the old one only when everything was
// written, so a failed save leaves the file on disk as it was.
//
// Threads: a document lives on the interface thread. Views are not owned; a view removes
// itself before it goes away.
#pragma once

#include "core/Prompter.h"
#include "core/object.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace core {

// A window that shows a document. The document keeps a list of its views; the views that
// the document asks for something are found by the interface they implement.
class DocumentView
{
public:
    virtual ~DocumentView() = default;

    // The document changed; sender is the view that made the change (or none), hint tells
    // what changed (0: anything).
    virtual void OnDocumentUpdate(DocumentView* /*sender*/, long /*hint*/) {}
};

class CDocument : public CObject
{
public:
    CDocument();
    CDocument(const CDocument&) = delete;
    CDocument& operator=(const CDocument&) = delete;
    ~CDocument() override;

    // The file of the document in the kept path form; empty for a new document. Setting it
    // also sets the title to the file's name.
    const std::string& GetPathName() const { return m_pathName; }
    void SetPathName(std::string_view path);
    const std::string& GetTitle() const { return m_title; }
    void SetTitle(std::string_view title) { m_title = title; }

    bool IsModified() const { return m_modified; }
    void SetModifiedFlag(bool modified = true) { m_modified = modified; }

    // Views in the order they were attached. Adding a view twice keeps one entry.
    void AddView(DocumentView* view);
    void RemoveView(DocumentView* view);
    const std::vector<DocumentView*>& GetViews() const { return m_views; }
    void UpdateAllViews(DocumentView* sender, long hint = 0);

    // The first view that implements the interface T, or none.
    template <class T> T* FindView() const
    {
        for (DocumentView* view : m_views) {
            if (auto* found = dynamic_cast<T*>(view)) {
                return found;
            }
        }
        return nullptr;
    }
    template <class T> std::vector<T*> FindViews() const
    {
        std::vector<T*> found;
        for (DocumentView* view : m_views) {
            if (auto* match = dynamic_cast<T*>(view)) {
                found.push_back(match);
            }
        }
        return found;
    }

    // Who is asked questions and told of failures; not owned, may be none (then questions
    // are answered No or Cancel and failures are only kept in GetLastError).
    void SetPrompter(Prompter* prompter) { m_prompter = prompter; }
    Prompter* GetPrompter() const { return m_prompter; }
    // Asks the prompter, or gives the refusing answer when there is none.
    PromptAnswer Ask(std::string_view text, PromptButtons buttons, PromptIcon icon) const;

    // The text of the last failed open or save; empty after a success.
    const std::string& GetLastError() const { return m_lastError; }

    // Empties the document; true.
    virtual bool OnNewDocument();
    // Loads the file at path (kept form). False, with the contents deleted and the failure
    // told, when the file cannot be opened or Serialize raised an archive exception.
    virtual bool OnOpenDocument(std::string_view path);
    // Stores the document into the file at path (kept form). False, with the file on disk
    // unchanged and the failure told, when anything could not be written.
    virtual bool OnSaveDocument(std::string_view path);
    // Releases the document's data; called before a load and after a failed one.
    virtual void DeleteContents();

    const CRuntimeClass* GetRuntimeClass() const override;
    static const CRuntimeClass classCDocument;

protected:
    // Keeps the text as the last error and shows it with an Ok button.
    void ReportFailure(std::string text);

private:
    bool StoreInto(std::string_view path);

    std::string m_pathName;
    std::string m_title;
    bool m_modified = false;
    std::vector<DocumentView*> m_views;
    Prompter* m_prompter = nullptr;
    std::string m_lastError;
};

// Creates a document of class Doc, loads the file into it and gives it its path; none when
// the load failed (the document is discarded).
template <class Doc>
std::unique_ptr<Doc> OpenDocumentFile(std::string_view path, Prompter* prompter)
{
    auto document = std::make_unique<Doc>();
    document->SetPrompter(prompter);
    if (!document->OnOpenDocument(path)) {
        return nullptr;
    }
    document->SetPathName(path);
    return document;
}

} // namespace core
