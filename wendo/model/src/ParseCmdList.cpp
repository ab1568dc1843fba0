#include "model/ParseCmdList.h"

namespace wendo {

const core::CRuntimeClass CParseCmdList::classCParseCmdList{
    "CParseCmdList", &CParseCmd::classCParseCmd,
    []() -> std::unique_ptr<core::CObject> { return std::make_unique<CParseCmdList>(); }};

CParseCmdList::CParseCmdList(const CParseCmdList& other)
    : CParseCmd(other), EditPosition(other.EditPosition), EditorFrame(other.EditorFrame)
{
}

CParseCmdList& CParseCmdList::operator=(const CParseCmdList& other)
{
    if (&other != this) {
        Assign(other);
        EditPosition = other.EditPosition;
        EditorFrame = other.EditorFrame;
    }
    return *this;
}

CParseCmdList::~CParseCmdList() = default;

const core::CRuntimeClass* CParseCmdList::GetRuntimeClass() const
{
    return &classCParseCmdList;
}

} // namespace wendo
