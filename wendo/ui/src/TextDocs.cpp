#include "TextDocs.h"

#include "os/file.h"
#include "os/path.h"

namespace wendo::ui {

bool CTextDoc::OnOpenDocument(std::string_view path)
{
    DeleteContents();
    if (os::ReadWholeFile(os::ToNative(path), m_text) != os::FileError::None) {
        DeleteContents();
        ReportFailure("Can't open file " + os::ForDisplay(path));
        return false;
    }
    SetModifiedFlag(false);
    return true;
}

void CTextDoc::DeleteContents()
{
    m_text.clear();
}

} // namespace wendo::ui
