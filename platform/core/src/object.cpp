#include "core/object.h"

#include <cstring>

namespace core {

const CRuntimeClass CObject::classCObject{"CObject", nullptr, nullptr};

std::unique_ptr<CObject> CRuntimeClass::CreateObject() const
{
    return m_create != nullptr ? m_create() : nullptr;
}

bool CRuntimeClass::IsDerivedFrom(const CRuntimeClass* base) const
{
    for (const CRuntimeClass* cls = this; cls != nullptr; cls = cls->m_baseClass) {
        // Each shared library holds its own copy of a record it links statically, so the same
        // class may have two records: the name decides.
        if (cls == base ||
            (base != nullptr && std::strcmp(cls->m_className, base->m_className) == 0)) {
            return true;
        }
    }
    return false;
}

const CRuntimeClass* CObject::GetRuntimeClass() const
{
    return &classCObject;
}

bool CObject::IsKindOf(const CRuntimeClass* cls) const
{
    return cls != nullptr && GetRuntimeClass()->IsDerivedFrom(cls);
}

void CObject::Serialize(CArchive& /*ar*/)
{
}

} // namespace core
