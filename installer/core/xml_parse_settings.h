#pragma once

#include <xercesc/parsers/XercesDOMParser.hpp>
#include <xercesc/util/SecurityManager.hpp>
#include <xercesc/util/XMLEntityResolver.hpp>

// Refuses every DTD, entity or schema outside the document: the refusal is a
// fatal error of the parse, so such a document fails like any other bad one.
class COutsideReferenceRefusal : public xercesc::XMLEntityResolver {
public:
    xercesc::InputSource* resolveEntity(xercesc::XMLResourceIdentifier* resource) override;
};

// The parser's settings for one ParseXmlBuffer call. Documents come from the
// network or from a file anyone may have changed, so the parser reads nothing
// but its buffer and bounds entity expansion. The error handler, the resolver
// and the security manager live for the call only: the parser lets go of them
// when this object ends.
class CXmlParseSettings {
public:
    CXmlParseSettings(xercesc::XercesDOMParser& parser, xercesc::ErrorHandler& handler);
    ~CXmlParseSettings();
    CXmlParseSettings(const CXmlParseSettings&) = delete;
    CXmlParseSettings& operator=(const CXmlParseSettings&) = delete;

private:
    xercesc::XercesDOMParser& parser_;
    COutsideReferenceRefusal refusal_;
    xercesc::SecurityManager security_;
};
