#pragma once

#include <string>

// Writes an offline layout of the server's plan into folder (see
// exchange/layout_answer.h): runs the initial exchange as usual, fetches
// each download of the plan as a run would (mirrors, resuming, the checks
// against the declarations) and runs no other operation. Only when every
// download is in do the answer and the files take their places in the
// folder, all together; until then an earlier layout there stays as it
// was. Shows nothing. Returns the exit code: 0, the first failed download's
// code, 1 when the exchange failed, or 403 when the layout could not be
// written.
int MakeOfflineLayout(const std::string& folder);
