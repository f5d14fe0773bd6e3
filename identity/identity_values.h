#pragma once

#include <string>

#include "identity/identity_sources.h"

// The formats and rules that turn the facts of the identity sources into the
// texts that are hashed.

// The host name up to its first '.'.
std::string HostLabel(const std::string& hostName);

// The resolver's local domain: the "domain" line of resolv.conf, else the
// first entry of its "search" line (of several such lines the last counts),
// else the host name's part after its first '.', else empty.
std::string ResolverDomain(const std::string& resolverConfig, const std::string& hostName);

// A machine-id (32 hexadecimal digits and a line end) as the GUID
// "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}" in lower case; empty when the text
// is not a machine-id.
std::string FormatMachineIdAsGuid(const std::string& machineId);

// "09/15/17 08:12:15".
std::string FormatCreationTime(const LocalTime& time);

// "9:05:03:0042": hour, minute, second and milliseconds.
std::string FormatTimeOfDay(const LocalTime& time);

// The MAC text's wide copy as the fingerprint takes it: the characters before
// the first 'x' or 'M' dropped, then cut at the first 'x' or 'G'. `cut` tells
// whether such a character was found for the cut.
std::u16string TrimMacCopy(std::u16string copy, bool& cut);

// Writes "GM000000000000" at byte 15 of the MAC text as into the zero-filled
// buffer the text lives in: a shorter text ends before it and stays as it is.
void AppendMacMarker(std::string& macText);
