#pragma once

#include <optional>
#include <string>

#include "identity/identity_sources.h"

// This PC's identity sources. Folder arguments are "/sys", "/etc" and "/" on
// the PC itself, fixture trees in tests.

// The effective user's name; empty when unknown.
std::string ReadUserName();

std::optional<std::string> ReadHostName();

// The text of <etcFolder>/resolv.conf; empty when it cannot be read.
std::string ReadResolverConfig(const std::string& etcFolder);

// <rootFolder>/etc/machine-id, else <rootFolder>/var/lib/dbus/machine-id, as
// a GUID; empty when neither holds a machine-id.
std::string ReadHardwareProfileGuid(const std::string& rootFolder);

LocalTime ReadLocalTime();

// The birth time of the file, or its modification time where the file system
// keeps no birth time; the zero time when there is no file. In local time.
LocalTime ReadCreationTime(const std::string& path);

// Sets the code page and the file members to this PC's.
void UseSystemCodePageAndFiles(IdentitySources& sources);

// All of the above on this PC, with the adapters and disks of
// ListNetworkAdapters and ListDisks.
IdentitySources LinuxIdentitySources();
