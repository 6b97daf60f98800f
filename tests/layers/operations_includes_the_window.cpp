// Compiled as a file of operations/ (with that layer's include root), this
// include runs upward to the window, so the build must refuse it.
#include "window/run_driver.h"
