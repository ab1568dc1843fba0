#include "core/Document.h"

#include "core/archive.h"
#include "os/file.h"
#include "os/path.h"
#include "os/replace.h"

#include <algorithm>
#include <new>

namespace core {

namespace {

// Tries this many names for the new file of a save before giving up.
constexpr int kTempNameAttempts = 100;

std::string FileNameOf(std::string_view path)
{
    const std::size_t slash = path.find_last_of("\\/");
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string LoadFailureText(std::string_view path, CArchiveException::Cause cause)
{
    std::string text(os::ForDisplay(path));
    switch (cause) {
    case CArchiveException::badSchema:
    case CArchiveException::badClass:
    case CArchiveException::badIndex:
        text += "\nUnexpected file format.";
        break;
    case CArchiveException::endOfFile:
        text += "\nUnexpected end of file.";
        break;
    default:
        text += "\nThe document could not be loaded.";
        break;
    }
    return text;
}

// A new, empty file beside path whose name no other entry has; empty when none could be made.
std::string MakeSiblingFile(std::string_view path)
{
    for (int i = 0; i < kTempNameAttempts; ++i) {
        std::string candidate(path);
        candidate += ".save";
        candidate += std::to_string(i);
        if (os::CreateExclusive(os::ToNative(candidate)) == os::FileError::None) {
            return candidate;
        }
    }
    return {};
}

} // namespace

const CRuntimeClass CDocument::classCDocument{"CDocument", &CObject::classCObject, nullptr};

CDocument::CDocument() = default;
CDocument::~CDocument() = default;

const CRuntimeClass* CDocument::GetRuntimeClass() const
{
    return &classCDocument;
}

void CDocument::SetPathName(std::string_view path)
{
    m_pathName = path;
    m_title = FileNameOf(path);
}

void CDocument::AddView(DocumentView* view)
{
    if (view != nullptr && std::find(m_views.begin(), m_views.end(), view) == m_views.end()) {
        m_views.push_back(view);
    }
}

void CDocument::RemoveView(DocumentView* view)
{
    m_views.erase(std::remove(m_views.begin(), m_views.end(), view), m_views.end());
}

void CDocument::UpdateAllViews(DocumentView* sender, long hint)
{
    // A view may detach itself while it is told; walk a copy.
    const std::vector<DocumentView*> views = m_views;
    for (DocumentView* view : views) {
        if (view != sender) {
            view->OnDocumentUpdate(sender, hint);
        }
    }
}

PromptAnswer CDocument::Ask(std::string_view text, PromptButtons buttons, PromptIcon icon) const
{
    if (m_prompter != nullptr) {
        return m_prompter->Ask(text, buttons, icon);
    }
    switch (buttons) {
    case PromptButtons::Ok:
        return PromptAnswer::Ok;
    case PromptButtons::OkCancel:
        return PromptAnswer::Cancel;
    case PromptButtons::YesNo:
    case PromptButtons::YesNoCancel:
        break;
    }
    return PromptAnswer::No;
}

void CDocument::ReportFailure(std::string text)
{
    m_lastError = std::move(text);
    Ask(m_lastError, PromptButtons::Ok, PromptIcon::Exclamation);
}

bool CDocument::OnNewDocument()
{
    DeleteContents();
    m_lastError.clear();
    SetModifiedFlag(false);
    return true;
}

void CDocument::DeleteContents()
{
}

bool CDocument::OnOpenDocument(std::string_view path)
{
    m_lastError.clear();
    CArchive archive(path, CArchive::load);
    if (!archive.IsOpen()) {
        ReportFailure(std::string(os::ForDisplay(path)) + (archive.IsNotRegular()
                                                               ? "\nNot a regular file."
                                                               : "\nThe file cannot be opened."));
        return false;
    }
    DeleteContents();
    // Modified while half loaded, so that nothing mistakes a partial document for the file.
    SetModifiedFlag(true);
    try {
        Serialize(archive);
    } catch (const CArchiveException& e) {
        DeleteContents();
        ReportFailure(LoadFailureText(path, e.GetCause()));
        return false;
    } catch (const std::bad_alloc&) {
        DeleteContents();
        ReportFailure(std::string(os::ForDisplay(path)) + "\nNot enough memory to load it.");
        return false;
    }
    SetModifiedFlag(false);
    return true;
}

bool CDocument::StoreInto(std::string_view path)
{
    CArchive archive(path, CArchive::store);
    if (!archive.IsOpen()) {
        return false;
    }
    try {
        Serialize(archive);
    } catch (const CArchiveException&) {
        return false;
    } catch (const std::bad_alloc&) {
        return false;
    }
    return archive.Close();
}

bool CDocument::OnSaveDocument(std::string_view shownPath)
{
    m_lastError.clear();
    // A command file kept as a symbolic link is saved into the file the link names; the link
    // stays a link.
    const std::string native = os::LinkTarget(os::ToNative(shownPath));
    const std::string target = os::FromNative(native);
    const std::string_view path = target;
    os::FileStatus status;
    const bool replacing = os::GetStatus(native, status) == os::FileError::None;
    bool saved = false;
    if (!replacing) {
        // Nothing to lose: write the file in place, and take back a partial one.
        saved = StoreInto(path);
        if (!saved) {
            os::RemoveFile(native);
        }
    } else if (!status.directory) {
        const std::string sibling = MakeSiblingFile(path);
        if (!sibling.empty()) {
            const std::string siblingNative = os::ToNative(sibling);
            // The copy gives the new file the permissions of the one it replaces; storing
            // then truncates it and keeps them.
            saved = os::CopyFile(native, siblingNative, true) == os::FileError::None &&
                    StoreInto(sibling) &&
                    os::RenameFile(siblingNative, native) == os::FileError::None;
            if (!saved) {
                os::RemoveFile(siblingNative);
            }
        }
    }
    if (!saved) {
        ReportFailure(std::string(os::ForDisplay(shownPath)) +
                      "\nThe document could not be saved.");
        return false;
    }
    SetModifiedFlag(false);
    return true;
}

} // namespace core
