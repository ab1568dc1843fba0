// A multiple-document template with the makers' own rule for which template opens a path:
// 1. a document of the template already has the path (ignoring case): already open;
// 2. no filter extension: maybe foreign;
// 3. the ";"-separated extensions are compared in order with the path's extension (ignoring
//    case): an equal one is native; ".*" makes the answer foreign unless a later entry is
//    equal; without a match, foreign when ".*" was listed, else maybe foreign.
#pragma once

#include "fw/DocTemplate.h"
#include "plinth/plinth_api.h"

class PLINTH_API CKVMultiDocTemplate : public fw::MultiDocTemplate
{
public:
    using fw::MultiDocTemplate::MultiDocTemplate;
    ~CKVMultiDocTemplate() override;

    fw::Confidence MatchDocType(std::string_view path, core::CDocument*& match) const override;
};
