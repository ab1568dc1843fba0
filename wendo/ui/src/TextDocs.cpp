#include "TextDocs.h"

#include "core/archive.h"
#include "core/archive_exception.h"
#include "os/path.h"

#include <QString>
#include <algorithm>
#include <cctype>

namespace wendo::ui {

namespace {

std::string LowerExtension(std::string_view path)
{
    const std::size_t slash = path.find_last_of("\\/");
    const std::size_t dot = path.rfind('.');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) {
        return {};
    }
    std::string ext(path.substr(dot + 1));
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext;
}

} // namespace

bool CTextDoc::OnOpenDocument(std::string_view path)
{
    DeleteContents();
    if (os::ReadWholeFile(os::ToNative(path), m_text) != os::FileError::None) {
        DeleteContents();
        ReportFailure("Can't open file " + os::ForDisplay(path));
        return false;
    }
    SetModifiedFlag(false);
    // The document is told its path after the load; the status is of the file just read.
    os::GetStatus(os::ToNative(path), m_status);
    return true;
}

bool CTextDoc::OnSaveDocument(std::string_view path)
{
    if (m_source) {
        std::optional<std::string> text = m_source();
        if (!text) {
            // Writing the file as UTF-8 instead would change every byte the person did not edit.
            ReportFailure(os::ForDisplay(path) +
                          "\nThe file is kept as Latin-1, which cannot hold some characters typed "
                          "into it. The file was not saved.");
            return false;
        }
        m_text = *std::move(text);
    }
    if (!core::CDocument::OnSaveDocument(path)) {
        return false;
    }
    os::GetStatus(os::ToNative(path), m_status);
    return true;
}

void CTextDoc::DeleteContents()
{
    m_text.clear();
}

void CTextDoc::Serialize(core::CArchive& archive)
{
    if (archive.IsStoring() && !archive.Write(m_text)) {
        throw core::CArchiveException(core::CArchiveException::generic);
    }
}

bool CTextDoc::IsRichText() const
{
    return LowerExtension(GetPathName()) == "rtf";
}

bool CTextDoc::CheckReload()
{
    if (m_asking || GetPathName().empty()) {
        return false;
    }
    os::FileStatus now;
    if (os::GetStatus(os::ToNative(GetPathName()), now) != os::FileError::None) {
        return false;
    }
    // A rewrite within the same second still changes the size more often than not.
    if (now.modified == m_status.modified && now.size == m_status.size) {
        return false;
    }
    m_asking = true;
    const std::string text =
        "Another application has updated file\n" + os::ForDisplay(GetPathName()) + "\nReload it?";
    const core::PromptAnswer answer =
        Ask(text, core::PromptButtons::YesNo, core::PromptIcon::Question);
    m_asking = false;
    if (answer != core::PromptAnswer::Yes) {
        m_status = now;
        return false;
    }
    const std::string path = GetPathName();
    if (!OnOpenDocument(path)) {
        // The file went bad; what was shown stays, and this change is not asked about again.
        m_status = now;
        return false;
    }
    UpdateAllViews(nullptr, kHintReloaded);
    return true;
}

bool CWebDoc::OnOpenDocument(std::string_view path)
{
    DeleteContents();
    os::FileStatus status;
    if (os::GetStatus(os::ToNative(path), status) != os::FileError::None || status.directory) {
        ReportFailure("Can't open file " + os::ForDisplay(path));
        return false;
    }
    SetModifiedFlag(false);
    return true;
}

bool CWebDoc::OnSaveDocument(std::string_view /*path*/)
{
    return false;
}

} // namespace wendo::ui
