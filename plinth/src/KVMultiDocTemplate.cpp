#include "plinth/KVMultiDocTemplate.h"

CKVMultiDocTemplate::~CKVMultiDocTemplate() = default;

fw::Confidence CKVMultiDocTemplate::MatchDocType(std::string_view path,
                                                 core::CDocument*& match) const
{
    match = nullptr;
    for (core::CDocument* document : GetDocuments()) {
        if (fw::SamePath(document->GetPathName(), path)) {
            match = document;
            return fw::Confidence::yesAlreadyOpen;
        }
    }
    const std::string filter = GetDocString(fw::DocString::filterExt);
    if (filter.empty()) {
        return fw::Confidence::maybeAttemptForeign;
    }
    const std::string_view extension = fw::PathExtension(path);
    bool anyExtension = false;
    std::string_view rest = filter;
    while (true) {
        const auto cut = rest.find(';');
        const std::string_view entry = rest.substr(0, cut);
        if (entry == ".*") {
            anyExtension = true;
        } else if (!entry.empty() && fw::SamePath(entry, extension)) {
            return fw::Confidence::yesAttemptNative;
        }
        if (cut == std::string_view::npos) {
            break;
        }
        rest.remove_prefix(cut + 1);
    }
    return anyExtension ? fw::Confidence::yesAttemptForeign : fw::Confidence::maybeAttemptForeign;
}
