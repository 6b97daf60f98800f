#pragma once

#include <string>

// Saves what the screen shows as a PNG file; false when it cannot.
bool SaveScreen(const std::string& path);
