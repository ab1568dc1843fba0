// The documents of the text viewer and the HTML viewer: the bytes of one file, read when the
// document is opened. The viewers never write the file back.
//
// Threads: interface thread only.
#pragma once

#include "core/Document.h"

#include <string>
#include <string_view>

namespace wendo::ui {

class CTextDoc : public core::CDocument
{
public:
    bool OnOpenDocument(std::string_view path) override;
    void DeleteContents() override;
    const std::string& GetText() const { return m_text; }

private:
    std::string m_text;
};

class CWebDoc : public CTextDoc
{
};

} // namespace wendo::ui
