#pragma once

#include <string>

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

// Fills WinAccount and WinDomain; false when the host name cannot be read.
bool ReadAccountAndDomain();

// Fills the remaining fields and keeps "qlx.ico" in the current directory.
void GatherDeviceValues();

// The adapter query: writes the MAC entry into `text` and returns its length;
// 0 and `text` unchanged when no adapter is accepted or the query fails.
int QueryMacText(std::string& text);
