#pragma once

#include <string>

#include "identity/hardware_queries.h"
#include "identity/identity_sources.h"

// The identity values of this PC, gathered once per start before the device
// report is composed.
struct DeviceIdentityRecord {
    std::u16string WinAccount;
    std::u16string WinDomain;
    std::string MacText;  // code-page bytes as the adapter query wrote them
    std::u16string MacHash;
    std::u16string MachineId;
    std::u16string TimeToken;
    std::u16string DiskHash;
};

extern DeviceIdentityRecord DeviceIdentity;

// The machine-id file, in the current directory.
inline constexpr char kMachineIdFileName[] = "qlx.ico";

// Fills WinAccount and WinDomain; false when the host name cannot be read.
bool ReadAccountAndDomain(const IdentitySources& sources);

// Fills the remaining fields and keeps "qlx.ico" in the current directory.
void GatherDeviceValues(const IdentitySources& sources);
