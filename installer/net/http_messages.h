#pragma once

// Texts of the HTTP client. The initial exchange puts its own prefix in front
// of them; the download and the system report only tell failure from success.

inline constexpr const char kServerUrlUnparsable[] = "解析服务器URL失败";
inline constexpr const char kServerStatusUnreadable[] = "获取服务器返回状态错误";
inline constexpr const char kServerInternalError[] = "服务器内部错误";
inline constexpr const char kHttpUnknownError[] = "未知异常";
inline constexpr const char kResponseTooLarge[] = "服务器应答数据过大";

// Only a few WinINet codes have a text of the platform's own (Wine has a
// dozen); the others still have to tell which failure it was. The code
// follows this text.
inline constexpr const char kInternetErrorWithoutText[] = "网络通讯错误，错误码：";
