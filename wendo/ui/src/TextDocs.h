// The documents of the text viewer and the HTML viewer.
//
// CTextDoc holds the bytes of one file (rich text files too: they are shown and kept as their
// source, byte for byte) and the file's status as last read or written, so that a change by
// another program can be noticed. CWebDoc only names a file; the browser reads it.
//
// Threads: interface thread only.
#pragma once

#include "core/Document.h"
#include "os/file.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace wendo::ui {

class CTextDoc : public core::CDocument
{
public:
    // The hint of UpdateAllViews after the file was read again.
    static constexpr long kHintReloaded = 1;
    // Where the text being saved comes from (the view's edit box); none keeps the text read.
    // It gives nothing when the text cannot be written in the encoding the file was read in.
    using TextSource = std::function<std::optional<std::string>()>;

    bool OnOpenDocument(std::string_view path) override;
    bool OnSaveDocument(std::string_view path) override;
    void DeleteContents() override;
    void Serialize(core::CArchive& archive) override;

    const std::string& GetText() const { return m_text; }
    void SetTextSource(TextSource source) { m_source = std::move(source); }
    // Whether the file is read and written as rich text.
    bool IsRichText() const;

    // Asks whether to read the file again when another program changed it since it was last
    // read or written; each change is asked about once. True when the file was read again.
    bool CheckReload();

private:
    std::string m_text;
    TextSource m_source;
    os::FileStatus m_status;
    bool m_asking = false;
};

// A file shown by the browser. It cannot be saved.
class CWebDoc : public core::CDocument
{
public:
    bool OnOpenDocument(std::string_view path) override;
    bool OnSaveDocument(std::string_view path) override;
};

} // namespace wendo::ui
