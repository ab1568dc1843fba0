// The form in which the document keeps its commands: a parse command plus the editing record
// that the command editor keeps on a stored command. Lives on the interface thread.
#pragma once

#include "model/ParseCmd.h"

namespace wendo {

class CParseCmdList : public CParseCmd
{
public:
    // EditPosition when no editor has the command open.
    static constexpr int32_t kNoEditor = -2;

    CParseCmdList() = default;
    explicit CParseCmdList(std::string_view text) : CParseCmd(text) {}
    explicit CParseCmdList(const CParseCmd* other) : CParseCmd(other) {}
    explicit CParseCmdList(Raw raw) : CParseCmd(raw) {}
    // The command part is parsed anew from the other's Text; the editing record is copied.
    CParseCmdList(const CParseCmdList& other);
    CParseCmdList& operator=(const CParseCmdList& other);
    ~CParseCmdList() override;

    const core::CRuntimeClass* GetRuntimeClass() const override;
    static const core::CRuntimeClass classCParseCmdList;

    // Position of the command in the document while an editor has it open.
    int32_t EditPosition = kNoEditor;
    // The editor's child frame while it is open; not owned. Opaque to the model.
    void* EditorFrame = nullptr;
};

} // namespace wendo
