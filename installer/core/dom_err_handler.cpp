#include "core/dom_err_handler.h"

#include <ostream>

#include "core/xml_local_text.h"
#include "core/xml_messages.h"

namespace {
void AppendLine(std::ostream& collector, const char* tag,
                const xercesc::SAXParseException& exception) {
    collector << tag << exception.getLineNumber() << kXmlColumnTag << exception.getColumnNumber()
              << ' ' << XmlToLocal(exception.getMessage()) << '\n'
              << std::flush;
}
}  // namespace

void CDOMErrHandler::warning(const xercesc::SAXParseException& exception) {
    AppendLine(warnings_, kXmlWarningTag, exception);
}

void CDOMErrHandler::error(const xercesc::SAXParseException& exception) {
    AppendLine(errors_, kXmlErrorTag, exception);
}

void CDOMErrHandler::fatalError(const xercesc::SAXParseException& exception) {
    AppendLine(fatalErrors_, kXmlFatalTag, exception);
}

void CDOMErrHandler::resetErrors() {
    warnings_.clear();
    errors_.clear();
    fatalErrors_.clear();
}
