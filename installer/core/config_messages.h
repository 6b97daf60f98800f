#pragma once

#include <cstddef>

// Texts and names of the configuration file "RUVI.config".

// Names the decoded document in the parser's own messages.
inline constexpr const char kConfigBufferId[] = "ZEP Installer configure";

inline constexpr const char kConfigServerElement[] = "Server";
inline constexpr const char kConfigEncryptElement[] = "Encrypt";
inline constexpr const char kConfigEncryptTypeAttribute[] = "Type";
// The one Type value that selects DES; any other non-empty value selects the
// secure stream.
inline constexpr const char kConfigDesType[] = "DES";
inline constexpr std::size_t kConfigDesKeyLength = 8;
// Optional: the operator's signing key; its presence means trusted mode.
inline constexpr const char kConfigTrustKeyElement[] = "TrustKey";

// Failures, in the order the reader checks for them.
inline constexpr const char kConfigReadFailed[] = "读取配置文件失败";
inline constexpr const char kConfigFormatWrong[] = "解析配置文件格式错误";
inline constexpr const char kConfigServerMissing[] = "解析<Server>节点失败";
inline constexpr const char kConfigServerEmpty[] = "<Server>节点内容为空";
inline constexpr const char kConfigEncryptMissing[] = "解析配置文件<Encrypt>节点失败";
inline constexpr const char kConfigEncryptTypeUnknown[] = "无法识别的<Encrypt>类型";
inline constexpr const char kConfigDesKeyMissing[] = "获取DES密钥失败";
inline constexpr const char kConfigDesKeyLengthWrong[] = "无效的DES密钥长度";
inline constexpr const char kConfigTrustKeyInvalid[] = "无效的签名公钥";
inline constexpr const char kConfigUnknownFailure[] = "配置文件解析过程中出现未知异常";
