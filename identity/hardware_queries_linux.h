#pragma once

#include <set>
#include <string>

#include "identity/hardware_queries.h"

// This PC's adapters and disks as the kernel reports them. `sysRoot` is the
// sysfs folder ("/sys"; a fixture tree in tests).

// Names of the interfaces that hold an IPv4 or IPv6 address; false when the
// addresses cannot be enumerated.
bool ListIpEnabledInterfaces(std::set<std::string>& names);

// Every interface under <sysRoot>/class/net with its index, MAC and link
// type; `ipEnabled` names the interfaces that hold an address.
AdapterListing ReadNetworkAdapters(const std::string& sysRoot, const std::set<std::string>& ipEnabled);

AdapterListing ListNetworkAdapters(const std::string& sysRoot);

// Whole physical disks under <sysRoot>/block (no partitions, no virtual
// devices such as loop, ram, zram or dm) with the serial udev knows, else the
// one sysfs reports.
DiskListing ListDisks(const std::string& sysRoot);
