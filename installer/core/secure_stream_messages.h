#pragma once

// Texts of the secure stream and the keyed DES decoder. The stream filters
// raise the short English texts; SecureEncrypt and SecureDecrypt put their
// prefix in front of whatever failed.

inline constexpr const char kSecureEncryptFailed[] = "加密失败：";
inline constexpr const char kSecureDecryptFailed[] = "解密失败：";

inline constexpr const char kStreamChecksumFail[] = "CheckSum fail";
inline constexpr const char kStreamLengthTooLarge[] = "decrypt fail. No.208";
inline constexpr const char kStreamBroken[] = "Integrality of the stream is broken";
inline constexpr const char kStreamOverConsumed[] = "decrypt fail. No.207";
inline constexpr const char kStreamNegativeRead[] = "decrypt fault. No. 202";
inline constexpr const char kStreamEmptyBlock[] = "encrypt fail. No.103. Should never happen";

// Our own additions: a sink that takes nothing would otherwise lose the
// stream silently, and the key must never come from a failed source.
inline constexpr const char kStreamSinkRefused[] = "encrypt fail. The sink takes no data";
inline constexpr const char kRandomSourceUnavailable[] = "random source unavailable";

inline constexpr const char kDesInvalidKeyLength[] = "无效的密钥长度!";
inline constexpr const char kDesInvalidDataLength[] = "无效的解密长度!";
