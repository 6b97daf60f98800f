#pragma once

#include <xercesc/util/XercesDefs.hpp>

#include <optional>
#include <string>

// The XML library speaks UTF-16; the installer's texts are in the local code
// page (GBK). These two conversions are the only place that knows how the
// local code page is reached on each platform.

using XmlString = std::basic_string<XMLCh>;

// Text leaving the library. Characters the code page lacks become a
// substitute character; a null text reads as empty.
std::string XmlToLocal(const XMLCh* text);

// Text going into the library; nothing when it is not valid in the code page.
std::optional<XmlString> LocalToXml(const char* text);
