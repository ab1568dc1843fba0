// Writing a file's new text back over its source. Worker thread only.
//
// The source is never left half written: the new text goes to a flushed temporary file in the
// source's folder that is renamed over it, after the backup (when asked for) has been written
// and flushed. A symbolic link is edited in its target.

#include "engine/ParseProcess.h"
#include "os/path.h"
#include "os/replace.h"

namespace wendo {

bool CParseProcess::WriteBackFile(const std::string& path)
{
    const std::string backup = m_doc.Backup != 0 ? path + "." + m_doc.BackupExt : std::string();
    const os::WriteBackError error =
        os::WriteBack(os::ToNative(path), os::ToNative(ResultFilePath()),
                      backup.empty() ? std::string() : os::ToNative(backup));
    switch (error) {
    case os::WriteBackError::None:
        return true;
    case os::WriteBackError::Backup:
        AppendMessage("ERROR: Can not write backup", true);
        return false;
    case os::WriteBackError::Replace:
        break;
    }
    AppendMessage("ERROR: Can not write to file", true);
    return false;
}

} // namespace wendo
