#include "identity/device_identity.h"

#include <optional>

#include "identity/identity_values.h"
#include "identity/md5_hex.h"
#include "platform/code_page.h"
#include "platform/working_file.h"

DeviceIdentityRecord DeviceIdentity;

namespace {

const std::size_t kPieceLength = 32;

// Each piece of up to 32 characters contributes its digest, so a longer
// source gives a longer fingerprint.
std::u16string HashPieces(const std::u16string& source)
{
    std::u16string hashes;
    for (std::size_t start = 0; start < source.size(); start += kPieceLength)
        hashes += Md5Hex(source.substr(start, kPieceLength));
    return hashes;
}

}

bool ReadAccountAndDomain(const IdentitySources& sources)
{
    DeviceIdentity.WinAccount = ToWide(sources.userName());
    const std::optional<std::string> hostName = sources.hostName();
    if (!hostName)
        return false;
    DeviceIdentity.WinDomain = ToWide(HostLabel(*hostName)) + u"." +
                               ToWide(ResolverDomain(sources.resolverConfig(), *hostName));
    return true;
}

void GatherDeviceValues(const IdentitySources& sources)
{
    DeviceIdentityRecord& identity = DeviceIdentity;

    QueryMacText(identity.MacText, sources.listAdapters());
    identity.MacHash = Md5Hex(ToWide(identity.MacText));
    QueryMacText(identity.MacText, sources.listAdapters());

    bool cut = false;
    const std::u16string macCopy = TrimMacCopy(ToWide(identity.MacText), cut);
    if (!cut)
        AppendMacMarker(identity.MacText);
    const std::u16string macDigest = Md5Hex(macCopy);

    const std::string storedText = ReadFirstLine(kMachineIdFileName, kFirstLineBound);
    const std::u16string source = identity.WinDomain + macDigest + ToWide(sources.hardwareProfileGuid());
    const std::u16string persisted = HashPieces(source);
    // An unchanged file keeps its creation time, and with it the fingerprint.
    if (ToWide(storedText) != persisted)
        ReplaceFile(kMachineIdFileName, ToNarrow(persisted));
    identity.MachineId = persisted + Md5Hex(ToWide(FormatCreationTime(sources.creationTime(kMachineIdFileName))));

    identity.TimeToken = Md5Hex(ToWide(FormatTimeOfDay(sources.now())));

    std::string diskSerial;
    QueryDiskSerial(diskSerial, sources.listDisks());
    // The disk serial is hashed as the bytes the query wrote, without a code page.
    identity.DiskHash = diskSerial.empty() ? std::u16string() : Md5HexOfBytes(diskSerial);
}
