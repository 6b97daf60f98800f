#pragma once

#include "bridge_protocol.h"

// The machine's answers, by the browser control's own look-ups: its
// allow-list and origin rules, its install path and its manifest check.
class MachineRecords final : public InstallationRecords {
public:
    bool AllowsOrigin(std::string_view origin) const override;
    std::string InstallPath() const override;
    long CheckIntegrity() const override;
};
