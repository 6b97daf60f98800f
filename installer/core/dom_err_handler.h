#pragma once

#include <xercesc/sax/ErrorHandler.hpp>
#include <xercesc/sax/SAXParseException.hpp>

#include <sstream>
#include <string>

// Collects the parser's reports, one line each, as
// "<tag><line> col:<column> <message>\n" in the local code page.
class CDOMErrHandler : public xercesc::ErrorHandler {
public:
    ~CDOMErrHandler() override = default;

    void warning(const xercesc::SAXParseException& exception) override;
    void error(const xercesc::SAXParseException& exception) override;
    void fatalError(const xercesc::SAXParseException& exception) override;
    // The parser calls this before every parse; the collected text stays.
    void resetErrors() override;

    std::string GetWarnings() const { return warnings_.str(); }
    std::string GetErrors() const { return errors_.str(); }
    std::string GetFatalErrors() const { return fatalErrors_.str(); }

private:
    std::ostringstream warnings_;
    std::ostringstream errors_;
    std::ostringstream fatalErrors_;
};
