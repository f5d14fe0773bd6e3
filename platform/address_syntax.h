#pragma once

#include <string_view>

// The shapes the parts of a site server's address may take, in an address or
// in the configuration file. Text is checked as it stands, never decoded.

// A URL scheme: a letter, then letters, digits, '+', '-' or '.'.
bool IsUrlScheme(std::string_view text);

// Four decimal numbers of 0 to 255, 1 to 3 digits each, between dots.
bool IsIpv4Address(std::string_view text);

// An IPv6 address in text form, without brackets and without a zone.
bool IsIpv6Address(std::string_view text);

// Letters, digits, hyphens and dots: labels of 1 to 63 characters, at most 253
// characters in all.
bool IsDnsName(std::string_view text);

// A DNS name, an IPv4 address, or an IPv6 address in brackets: a host the
// directory may hand out for the configuration file.
bool IsUsableHost(std::string_view text);

// The part of an http address between "//" and the object: a host and an
// optional port of digits only. The host is an IPv6 address in brackets or a
// name that carries nothing which could start credentials, an escape, another
// part of the address or another line: no '@', '%', '\', blanks or controls.
// Bytes from 0x80 up pass, so that a name in the system code page reaches the
// resolver as it did.
bool IsSiteAuthority(std::string_view authority);
