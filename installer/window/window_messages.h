#pragma once

// The texts the installer window, the run driver, the start-up prompt and the
// proxy settings dialog show (GBK in the program).
namespace window_messages {

inline constexpr char kWindowTitle[] = "RUVInstaller";
inline constexpr char kInitialising[] = "正在初始化......";
inline constexpr char kRunningPrefix[] = "正在运行";
inline constexpr char kRunningSuffix[] = "......";
inline constexpr char kRunFailed[] = "安装程序出错，需重新安装！";
inline constexpr char kRunSucceeded[] = "Ruvex已安装成功！";
inline constexpr char kLaunchFailed[] = "启动Ruvex失败：";

inline constexpr char kProxyPrompt[] = "无法连接服务器，是否设置代理服务器？";
// Followed by the failure of the exchange with an offline layout.
inline constexpr char kLayoutUnusable[] = "离线安装包无法使用：";

inline constexpr char kProxyDialogTitle[] = "Ruvex";
inline constexpr char kAddressPlaceholder[] = "代理服务器地址";
inline constexpr char kPortPlaceholder[] = "代理服务器端口";
inline constexpr char kUserNamePlaceholder[] = "用户名";
inline constexpr char kPasswordPlaceholder[] = "用户密码";
inline constexpr char kAddressMissing[] = "服务IP不得为空";
inline constexpr char kPortMissing[] = "服务端口不得为空";
inline constexpr char kPortInvalid[] = "端口号错误";
inline constexpr char kConnected[] = "连接成功！";
inline constexpr char kConnectFailed[] = "连接失败！";
inline constexpr char kStatusCodeFormat[] = "%s错误码：%d";
inline constexpr char kCheckProxySettings[] = "连接失败，请检查代理服务器设置！";

}  // namespace window_messages
