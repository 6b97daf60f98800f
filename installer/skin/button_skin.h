#pragma once

#include <array>
#include <string>

class CBitmapButtonEx;

// The five picture paths of a button: folder + base name + state suffix +
// ".png", in the order normal, over, down, focus, disabled.
using ButtonSkinPaths = std::array<std::string, 5>;
ButtonSkinPaths MakeButtonSkinPaths(const std::string& folder, const std::string& baseName);

// Loads the five pictures in order and stops at the first that fails. Only
// when all five loaded does the button get them and become owner-drawn;
// otherwise it stays a standard push button. True when skinned.
bool ApplyButtonSkin(CBitmapButtonEx& button, const ButtonSkinPaths& paths);
