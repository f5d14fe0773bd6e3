#include "identity/device_identity.h"

#include <optional>

#include "identity/identity_values.h"
#include "identity/md5_hex.h"

DeviceIdentityRecord DeviceIdentity;

namespace {

const std::size_t kPieceLength = 32;

// The digest of the text's bytes in the system code page.
std::u16string Md5HexInCodePage(const std::u16string& text, const IdentitySources& sources)
{
    return Md5HexOfBytes(sources.toNarrow(text));
}

// Each piece of up to 32 characters contributes its digest, so a longer
// source gives a longer fingerprint.
std::u16string HashPieces(const std::u16string& source, const IdentitySources& sources)
{
    std::u16string hashes;
    for (std::size_t start = 0; start < source.size(); start += kPieceLength)
        hashes += Md5HexInCodePage(source.substr(start, kPieceLength), sources);
    return hashes;
}

}

bool ReadAccountAndDomain(const IdentitySources& sources)
{
    DeviceIdentity.WinAccount = sources.toWide(sources.userName());
    const std::optional<std::string> hostName = sources.hostName();
    if (!hostName)
        return false;
    DeviceIdentity.WinDomain = sources.toWide(HostLabel(*hostName)) + u"." +
                               sources.toWide(ResolverDomain(sources.resolverConfig(), *hostName));
    return true;
}

void GatherDeviceValues(const IdentitySources& sources)
{
    DeviceIdentityRecord& identity = DeviceIdentity;
    const auto md5Hex = [&sources](const std::u16string& text) { return Md5HexInCodePage(text, sources); };

    QueryMacText(identity.MacText, sources.listAdapters());
    identity.MacHash = md5Hex(sources.toWide(identity.MacText));
    QueryMacText(identity.MacText, sources.listAdapters());

    bool cut = false;
    const std::u16string macCopy = TrimMacCopy(sources.toWide(identity.MacText), cut);
    if (!cut)
        AppendMacMarker(identity.MacText);
    const std::u16string macDigest = md5Hex(macCopy);

    const std::string storedText = sources.readFirstLine(kMachineIdFileName);
    const std::u16string source = identity.WinDomain + macDigest + sources.toWide(sources.hardwareProfileGuid());
    const std::u16string persisted = HashPieces(source, sources);
    // An unchanged file keeps its creation time, and with it the fingerprint.
    if (sources.toWide(storedText) != persisted)
        sources.replaceFile(kMachineIdFileName, sources.toNarrow(persisted));
    identity.MachineId =
        persisted + md5Hex(sources.toWide(FormatCreationTime(sources.creationTime(kMachineIdFileName))));

    identity.TimeToken = md5Hex(sources.toWide(FormatTimeOfDay(sources.now())));

    std::string diskSerial;
    QueryDiskSerial(diskSerial, sources.listDisks());
    // The disk serial is hashed as the bytes the query wrote, without a code page.
    identity.DiskHash = diskSerial.empty() ? std::u16string() : Md5HexOfBytes(diskSerial);
}
