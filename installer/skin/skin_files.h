#pragma once

// The skin's layout on disk, below a product's install folder (which ends
// with a backslash): "skin\", a folder per dialog, a "Public\" folder that
// the dialogs share, and PNG pictures.
namespace skin_files {

inline constexpr char kSkinFolder[] = "skin\\";
inline constexpr char kMsgBoxFolder[] = "MsgBox\\";
inline constexpr char kSetProxySvrFolder[] = "SetProxySvr\\";
inline constexpr char kRuviFolder[] = "RUVI\\";

inline constexpr char kBackground[] = "0.png";
inline constexpr char kPictureExtension[] = ".png";

// A button's five pictures: base name + one of these + ".png", in the order
// normal, over, down, focus, disabled.
inline constexpr const char* kButtonStateSuffixes[5] = {"", "_Over", "_Down", "_Focus", "_Disable"};

// The skin of the message box (and of the proxy dialog) lies in the
// product's install folder, not in the installer's.
inline constexpr char kMsgBoxProductKey[] = "RUV";

// Every skinned dialog gives its controls this face.
inline constexpr wchar_t kDialogFontFace[] = L"微软雅黑";

}  // namespace skin_files
