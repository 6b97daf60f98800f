#include "core/xml_parse_settings.h"

#include <xercesc/util/RuntimeException.hpp>
#include <xercesc/util/XMLResourceIdentifier.hpp>

namespace {
// None of the system's documents declares entities of its own; the bound only
// has to stop a document that multiplies them.
constexpr XMLSize_t kEntityExpansionLimit = 100;
}  // namespace

xercesc::InputSource* COutsideReferenceRefusal::resolveEntity(
    xercesc::XMLResourceIdentifier* resource) {
    throw xercesc::RuntimeException(__FILE__, __LINE__,
                                    xercesc::XMLExcepts::Gen_CouldNotOpenExtEntity,
                                    resource != nullptr ? resource->getSystemId() : nullptr);
}

CXmlParseSettings::CXmlParseSettings(xercesc::XercesDOMParser& parser,
                                     xercesc::ErrorHandler& handler)
    : parser_(parser) {
    parser_.setIncludeIgnorableWhitespace(false);
    parser_.setDoNamespaces(true);
    parser_.setDoSchema(true);
    parser_.setValidationScheme(xercesc::XercesDOMParser::Val_Auto);
    parser_.setErrorHandler(&handler);

    parser_.setXMLEntityResolver(&refusal_);
    // Should a reference get past the resolver, the library must not open it
    // on its own either.
    parser_.setDisableDefaultEntityResolution(true);
    parser_.setLoadExternalDTD(false);
    security_.setEntityExpansionLimit(kEntityExpansionLimit);
    parser_.setSecurityManager(&security_);
}

CXmlParseSettings::~CXmlParseSettings() {
    parser_.setErrorHandler(nullptr);
    parser_.setXMLEntityResolver(nullptr);
    parser_.setSecurityManager(nullptr);
}
