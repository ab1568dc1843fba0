// The serialisable object base: a run-time class record (name, base, factory) and Serialize.
#pragma once

#include <memory>

namespace core {

class CArchive;
class CObject;

// One static record per class and library. Records are constant and never freed; classes are
// told apart by name, since a library that links this layer statically has its own records.
struct CRuntimeClass
{
    const char* m_className;
    const CRuntimeClass* m_baseClass;
    // NULL for a class that cannot be created by name.
    std::unique_ptr<CObject> (*m_create)();

    std::unique_ptr<CObject> CreateObject() const;
    bool IsDerivedFrom(const CRuntimeClass* base) const;
};

class CObject
{
public:
    virtual ~CObject() = default;

    virtual const CRuntimeClass* GetRuntimeClass() const;
    bool IsKindOf(const CRuntimeClass* cls) const;

    // Stores into or loads from the archive according to its direction. The base stores
    // nothing. Throws CArchiveException when the archive cannot be read or written.
    virtual void Serialize(CArchive& ar);

    static const CRuntimeClass classCObject;

protected:
    CObject() = default;
    CObject(const CObject&) = default;
    CObject& operator=(const CObject&) = default;
};

} // namespace core
