// The one exception of the command model: raised when an archive cannot be stored or loaded.
// It never crosses a shared-library boundary; the document layer catches it and reports the
// file as not saved or not loaded.
#pragma once

#include <exception>

namespace core {

class CArchiveException : public std::exception
{
public:
    // Causes, in the numbering the document layer reports them with.
    enum Cause : int
    {
        none = 0,
        generic = 1,
        readOnly = 2,
        endOfFile = 3,
        writeOnly = 4,
        badIndex = 5,
        badClass = 6,
        badSchema = 7,
    };

    explicit CArchiveException(Cause cause = none) noexcept : m_cause(cause) {}

    Cause GetCause() const noexcept { return m_cause; }
    const char* what() const noexcept override { return CauseText(m_cause); }

    // A short English text for a cause; "unknown archive error" for a value outside the list.
    static const char* CauseText(Cause cause) noexcept;

private:
    Cause m_cause;
};

} // namespace core
