#pragma once

// Texts of the initial exchange with the server (GBK in the program). Every
// failure of the exchange is stored as kExchangeFailedPrefix + its text.
namespace exchange_messages {

inline constexpr char kExchangeFailedPrefix[] = "初始化错误：";
inline constexpr char kUnknownFailure[] = "未知异常";

// Trusted mode: the answer lacks the trust key's signature over this
// attempt's nonce.
inline constexpr char kAnswerSignatureInvalid[] = "服务器应答签名无效";

inline constexpr char kUnknownEncryptionMode[] = "无法识别的通讯加密方式";
inline constexpr char kDecryptionFailed[] = "解密过程发生未知异常";

inline constexpr char kAnswerUnreadable[] = "与服务端的通讯过程发生错误";
inline constexpr char kVersionMissing[] = "解析<Version>节点失败";
inline constexpr char kVersionEmpty[] = "<Version>节点内容为空";
inline constexpr char kVersionRejected[] = "当前程序版本必须升级后才能继续使用";
inline constexpr char kInvalidOperationList[] = "服务器配置错误，无效的任务列表";

// An offline layout without a readable answer.
inline constexpr char kLayoutAnswerUnreadable[] = "读取离线应答失败";

}  // namespace exchange_messages
