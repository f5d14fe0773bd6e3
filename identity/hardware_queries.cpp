#include "identity/hardware_queries.h"

#include <algorithm>
#include <iterator>

#include "platform/message_box.h"

namespace {

// Addresses that never identify a PC: the RAS placeholder adapters.
bool IsExcludedMac(const std::string& mac)
{
    static const std::string kRasSuffix = "52:41:53";
    if (mac == "00:53:45:00:00:00")
        return true;
    return mac.size() >= kRasSuffix.size() &&
           mac.compare(mac.size() - kRasSuffix.size(), kRasSuffix.size(), kRasSuffix) == 0;
}

// Shows why a listing failed; true when there is a listing to select from.
bool IsListed(ListingStatus status, const std::u16string& cannotStart, const std::u16string& cannotList)
{
    switch (status) {
    case ListingStatus::CannotStart:
        ShowMessageBox(cannotStart);
        return false;
    case ListingStatus::CannotList:
        ShowMessageBox(cannotList);
        return false;
    case ListingStatus::Listed:
        break;
    }
    return true;
}

int WriteText(std::string& text, const std::string& value)
{
    text = value;
    return static_cast<int>(value.size());
}

}

std::string StripColons(const std::string& value)
{
    std::string stripped;
    std::copy_if(value.begin(), value.end(), std::back_inserter(stripped), [](char c) { return c != ':'; });
    return stripped;
}

MacSelection SelectMacEntry(const std::vector<NetworkAdapter>& adapters, std::string& entry)
{
    std::vector<const NetworkAdapter*> byIndex;
    for (const NetworkAdapter& adapter : adapters)
        byIndex.push_back(&adapter);
    std::stable_sort(byIndex.begin(), byIndex.end(),
                     [](const NetworkAdapter* a, const NetworkAdapter* b) { return a->index < b->index; });

    auto examined = std::find_if(byIndex.begin(), byIndex.end(), [](const NetworkAdapter* adapter) {
        return adapter->ipEnabled && !adapter->mac.empty() && !IsExcludedMac(adapter->mac);
    });
    if (examined == byIndex.end())
        return MacSelection::NoneAccepted;

    const std::string& mac = (*examined)->mac;
    for (const NetworkAdapter& other : adapters) {
        if (other.mac != mac)
            continue;
        if (!other.type)
            return MacSelection::TypeUnreadable;
        if (*other.type != kEthernetLinkType)
            return MacSelection::NoneAccepted;
    }
    entry = "IM" + StripColons(mac) + "\n";
    return MacSelection::Accepted;
}

std::optional<std::string> SelectDiskSerial(const std::vector<Disk>& disks)
{
    const Disk* first = nullptr;
    for (const Disk& disk : disks) {
        if (!disk.serial.empty() && (!first || disk.name < first->name))
            first = &disk;
    }
    if (!first)
        return std::nullopt;
    return StripColons(first->serial);
}

int QueryMacText(std::string& text, const AdapterListing& listing)
{
    if (!IsListed(listing.status, u"启动器遇到系统故障[11]：无法初始化COM库(网卡)",
                  u"启动器遇到系统故障[55]：查不到值(网卡) "))
        return 0;
    std::string entry;
    switch (SelectMacEntry(listing.adapters, entry)) {
    case MacSelection::Accepted:
        return WriteText(text, entry);
    case MacSelection::TypeUnreadable:
        ShowMessageBox(u"启动器遇到系统故障[77]：查不到值。  ");
        return 0;
    case MacSelection::NoneAccepted:
        break;
    }
    return 0;
}

int QueryDiskSerial(std::string& text, const DiskListing& listing)
{
    if (!IsListed(listing.status, u"启动器遇到系统故障[31]：无法初始化COM库(硬盘序列号)",
                  u"启动器遇到系统故障[35]：查不到值(硬盘序列号) "))
        return 0;
    const std::optional<std::string> serial = SelectDiskSerial(listing.disks);
    if (!serial)
        return 0;
    return WriteText(text, *serial);
}
