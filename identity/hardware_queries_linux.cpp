#include "identity/hardware_queries_linux.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <ifaddrs.h>
#include <libudev.h>
#include <memory>
#include <optional>
#include <sys/socket.h>

#include "identity/md5_hex.h"
#include "platform/working_file.h"

namespace {

// A sysfs attribute without the line end the kernel adds.
std::optional<std::string> ReadAttribute(const std::string& path)
{
    std::optional<std::string> value = ReadRegularFile(path, kSystemFileBound);
    if (!value)
        return std::nullopt;
    if (!value->empty() && value->back() == '\n')
        value->pop_back();
    return value;
}

std::optional<int> ReadNumber(const std::string& path)
{
    const std::optional<std::string> text = ReadAttribute(path);
    if (!text || text->empty())
        return std::nullopt;
    char* end = nullptr;
    const long number = std::strtol(text->c_str(), &end, 10);
    if (*end != '\0' || number < INT_MIN || number > INT_MAX)
        return std::nullopt;
    return static_cast<int>(number);
}

// The hardware address in the form "00:1A:2B:3C:4D:5E"; empty when the
// interface has none or only zeros.
std::string FormatMac(const std::string& sysfsAddress)
{
    const std::string address = UpperCaseHex(sysfsAddress);
    const bool allZero = std::all_of(address.begin(), address.end(), [](char c) { return c == '0' || c == ':'; });
    return allZero ? std::string() : address;
}

std::optional<std::vector<std::string>> ListFolder(const std::string& path)
{
    std::unique_ptr<DIR, int (*)(DIR*)> folder(opendir(path.c_str()), closedir);
    if (!folder)
        return std::nullopt;
    std::vector<std::string> names;
    while (const dirent* entry = readdir(folder.get())) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    return names;
}

bool CanOpenFolder(const std::string& path)
{
    std::unique_ptr<DIR, int (*)(DIR*)> folder(opendir(path.c_str()), closedir);
    return folder != nullptr;
}

bool IsVirtualDevice(const std::string& path)
{
    std::unique_ptr<char, void (*)(void*)> resolved(realpath(path.c_str(), nullptr), std::free);
    return !resolved || std::string(resolved.get()).find("/devices/virtual/") != std::string::npos;
}

std::string UdevSerial(udev* context, const std::string& devicePath)
{
    if (!context)
        return {};
    std::unique_ptr<char, void (*)(void*)> resolved(realpath(devicePath.c_str(), nullptr), std::free);
    if (!resolved)
        return {};
    std::unique_ptr<udev_device, udev_device* (*)(udev_device*)> device(
        udev_device_new_from_syspath(context, resolved.get()), udev_device_unref);
    if (!device)
        return {};
    const char* serial = udev_device_get_property_value(device.get(), "ID_SERIAL_SHORT");
    return serial ? serial : "";
}

std::string SysfsSerial(const std::string& devicePath)
{
    for (const char* attribute : {"/serial", "/device/serial"}) {
        const std::optional<std::string> serial = ReadAttribute(devicePath + attribute);
        if (serial && !serial->empty())
            return *serial;
    }
    return {};
}

}

bool ListIpEnabledInterfaces(std::set<std::string>& names)
{
    ifaddrs* addresses = nullptr;
    if (getifaddrs(&addresses) != 0)
        return false;
    for (const ifaddrs* address = addresses; address; address = address->ifa_next) {
        if (!address->ifa_addr || !address->ifa_name)
            continue;
        const int family = address->ifa_addr->sa_family;
        if (family != AF_INET && family != AF_INET6)
            continue;
        // An IPv4 address may carry a label such as "eth0:1".
        const std::string label = address->ifa_name;
        names.insert(label.substr(0, label.find(':')));
    }
    freeifaddrs(addresses);
    return true;
}

AdapterListing ReadNetworkAdapters(const std::string& sysRoot, const std::set<std::string>& ipEnabled)
{
    AdapterListing listing;
    const std::string folder = sysRoot + "/class/net";
    const std::optional<std::vector<std::string>> names = ListFolder(folder);
    if (!names) {
        listing.status = ListingStatus::CannotList;
        return listing;
    }
    for (const std::string& name : *names) {
        const std::string path = folder + "/" + name;
        // Entries without an index (such as bonding_masters) are not interfaces.
        const std::optional<int> index = ReadNumber(path + "/ifindex");
        if (!index)
            continue;
        NetworkAdapter adapter;
        adapter.index = *index;
        adapter.name = name;
        adapter.ipEnabled = ipEnabled.count(name) > 0;
        adapter.mac = FormatMac(ReadAttribute(path + "/address").value_or(""));
        adapter.type = ReadNumber(path + "/type");
        listing.adapters.push_back(adapter);
    }
    return listing;
}

AdapterListing ListNetworkAdapters(const std::string& sysRoot)
{
    std::set<std::string> ipEnabled;
    if (!ListIpEnabledInterfaces(ipEnabled)) {
        AdapterListing listing;
        listing.status = ListingStatus::CannotStart;
        return listing;
    }
    return ReadNetworkAdapters(sysRoot, ipEnabled);
}

DiskListing ListDisks(const std::string& sysRoot)
{
    DiskListing listing;
    if (!CanOpenFolder(sysRoot)) {
        listing.status = ListingStatus::CannotStart;
        return listing;
    }
    const std::string folder = sysRoot + "/block";
    const std::optional<std::vector<std::string>> names = ListFolder(folder);
    if (!names) {
        listing.status = ListingStatus::CannotList;
        return listing;
    }
    // Without udev (no context, or no database in a container) sysfs still
    // reports most serials.
    std::unique_ptr<udev, udev* (*)(udev*)> context(udev_new(), udev_unref);
    for (const std::string& name : *names) {
        const std::string path = folder + "/" + name;
        if (IsVirtualDevice(path))
            continue;
        Disk disk;
        disk.name = name;
        disk.serial = UdevSerial(context.get(), path);
        if (disk.serial.empty())
            disk.serial = SysfsSerial(path);
        listing.disks.push_back(disk);
    }
    return listing;
}
