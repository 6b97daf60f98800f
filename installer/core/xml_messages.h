#pragma once

// Texts of the XML helpers. They name parse failures in ParseXmlBuffer's
// result; callers decide what the user sees.

// Collector line tags, followed by the line number.
inline constexpr const char kXmlWarningTag[] = "[WARN] line:";
inline constexpr const char kXmlErrorTag[] = "[ERROR] line:";
inline constexpr const char kXmlFatalTag[] = "[FATAL] line:";
inline constexpr const char kXmlColumnTag[] = " col:";

inline constexpr const char kXmlNoRoot[] = "Can't get DOM root?";
inline constexpr const char kXmlUnknownException[] = "unknown exception in DOM parsing";
