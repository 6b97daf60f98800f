#pragma once

// The operations' own texts (GBK in the program). The factory throws the
// first group; Run() stores the others in the operation's result.
namespace operation_messages {

// Building an operation from its element.
inline constexpr char kModuleNameMissing[] = "获取模块名称失败";
inline constexpr char kModuleLabelMissing[] = "获取模块标签名称失败";
inline constexpr char kOperationTypeMissing[] = "获取操作类型失败";
inline constexpr char kUnknownModule[] = "无法识别的模块名称";
inline constexpr char kModuleInitFailed[] = "模块初始化失败";

// Time values.
inline constexpr char kTimeUnparsable[] = "无法解析的时间格式！";
inline constexpr char kTimeUnsupported[] = "不支持的时间格式！";
inline constexpr char kTimeNotPositive[] = "错误的时间格式表示！";

// Operating system check.
inline constexpr char kOSQueryFailed[] = "获取操作系统信息失败";
inline constexpr char kOSBlackListed[] = "操作系统已列入黑名单，无法支持";

// User check.
inline constexpr char kNotAdministrator[] = "需要将用户提升为管理员权限";

// File download.
inline constexpr char kDownloadRequestFailed[] = "请求文件下载失败";
inline constexpr char kDownloadFailed[] = "文件下载异常！";
inline constexpr char kCacheOpenFailed[] = "打开本地缓存文件失败";
inline constexpr char kCacheWriteFailed[] = "写入本地缓存文件失败";
inline constexpr char kDownloadUnverified[] = "下载文件校验失败";

// Setup run and process runner.
inline constexpr char kProgramMissing[] = "找不到可以运行的程序";
inline constexpr char kCreateProcessFailed[] = "创建进程失败";
inline constexpr char kRunTimedOut[] = "运行超时";
inline constexpr char kProgramFailedFormat[] = "程序运行错误，代码： %d";
inline constexpr char kProgramUnverified[] = "安装程序校验失败";

// Product launcher.
inline constexpr char kLaunchLabel[] = "启动RUV";
inline constexpr char kReportPrefix[] = "无法启动Ruvex，操作系统信息【";
inline constexpr char kReportSuffix[] = "】";
inline constexpr char kNotInstalledReported[] = "已将操作系统错误报告服务器";
inline constexpr char kNotInstalledReportFailed[] = "向服务器报告操作系统失败";
inline constexpr char kStartFailedReported[] = "已将操作系统错误信息上传到服务器";
inline constexpr char kStartFailedReportFailed[] = "将操作系统错误信息上传到服务器时发生网络错误";

}  // namespace operation_messages
