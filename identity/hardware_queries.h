#pragma once

#include <optional>
#include <string>
#include <vector>

// The adapter and disk queries: which adapter's MAC and which disk's serial
// identify this PC. The facts come from an adapter or disk listing; this part
// chooses, formats and reports failures in the numbered messages.

enum class ListingStatus {
    Listed,
    CannotStart,  // the source itself is unavailable
    CannotList,   // the list of devices cannot be read
};

// Link type of an Ethernet 802.3 interface (ARPHRD_ETHER).
constexpr int kEthernetLinkType = 1;

struct NetworkAdapter {
    int index = 0;
    std::string name;
    bool ipEnabled = false;   // holds at least one IPv4 or IPv6 address
    std::string mac;          // "00:1A:2B:3C:4D:5E", upper case; empty: none
    std::optional<int> type;  // link type; none when it cannot be read
};

struct AdapterListing {
    ListingStatus status = ListingStatus::Listed;
    std::vector<NetworkAdapter> adapters;
};

struct Disk {
    std::string name;
    std::string serial;  // as the system reports it; empty: none
};

struct DiskListing {
    ListingStatus status = ListingStatus::Listed;
    std::vector<Disk> disks;
};

// `value` without its ':' characters.
std::string StripColons(const std::string& value);

enum class MacSelection {
    Accepted,
    NoneAccepted,
    TypeUnreadable,  // an interface with the examined MAC has no readable type
};

// Only the first IP-enabled adapter (by interface index) with a usable MAC is
// examined; its entry "IM<12 hex digits>\n" is accepted when every interface
// with that MAC is Ethernet.
MacSelection SelectMacEntry(const std::vector<NetworkAdapter>& adapters, std::string& entry);

// The serial of the first disk (by name) that has one, without its colons;
// nothing when no disk has a serial.
std::optional<std::string> SelectDiskSerial(const std::vector<Disk>& disks);

// Both queries write their text into `text` and return its length. When
// nothing is found, or the listing fails (after its message), they return 0
// and leave `text` as it was.
int QueryMacText(std::string& text, const AdapterListing& listing);
int QueryDiskSerial(std::string& text, const DiskListing& listing);
