// The adapter and disk listings and the other identity facts, whatever they
// hold, through the selections and formats that make the identity texts.

#include "identity/hardware_queries.h"
#include "identity/identity_values.h"
#include "identity/md5_hex.h"
#include "platform/code_page.h"
#include "platform/message_box.h"
#include "tests/fuzz/fuzz_locale.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

void IgnoreMessage(const std::u16string&) {}

ListingStatus ConsumeStatus(FuzzedDataProvider& input)
{
    const ListingStatus statuses[] = {ListingStatus::Listed, ListingStatus::CannotStart,
                                      ListingStatus::CannotList};
    return input.PickValueInArray(statuses);
}

AdapterListing ConsumeAdapters(FuzzedDataProvider& input)
{
    AdapterListing listing;
    listing.status = ConsumeStatus(input);
    const int count = input.ConsumeIntegralInRange(0, 8);
    for (int i = 0; i < count; ++i) {
        NetworkAdapter adapter;
        adapter.index = input.ConsumeIntegral<int>();
        adapter.name = input.ConsumeRandomLengthString(32);
        adapter.ipEnabled = input.ConsumeBool();
        adapter.mac = input.ConsumeRandomLengthString(32);
        if (input.ConsumeBool())
            adapter.type = input.ConsumeIntegral<int>();
        listing.adapters.push_back(adapter);
    }
    return listing;
}

DiskListing ConsumeDisks(FuzzedDataProvider& input)
{
    DiskListing listing;
    listing.status = ConsumeStatus(input);
    const int count = input.ConsumeIntegralInRange(0, 8);
    for (int i = 0; i < count; ++i)
        listing.disks.push_back({input.ConsumeRandomLengthString(32),
                                 input.ConsumeRandomLengthString(64)});
    return listing;
}

LocalTime ConsumeTime(FuzzedDataProvider& input)
{
    LocalTime time;
    for (int* field : {&time.year, &time.month, &time.day, &time.hour, &time.minute, &time.second,
                       &time.millisecond})
        *field = input.ConsumeIntegral<int>();
    return time;
}

void CheckMacText(FuzzedDataProvider& input)
{
    std::string text = input.ConsumeRandomLengthString(64);
    const std::string before = text;
    const int length = QueryMacText(text, ConsumeAdapters(input));
    FUZZ_CHECK(length == 0 ? text == before : static_cast<std::size_t>(length) == text.size());
    AppendMacMarker(text);
    bool cut = false;
    const std::u16string copy = TrimMacCopy(ToWide(text), cut);
    FUZZ_CHECK(Md5Hex(copy).size() == 32);
}

void CheckDiskSerial(FuzzedDataProvider& input)
{
    std::string text = input.ConsumeRandomLengthString(64);
    const std::string before = text;
    const int length = QueryDiskSerial(text, ConsumeDisks(input));
    // A serial of colons alone is found and written as the empty text.
    FUZZ_CHECK(length == 0 ? text == before || text.empty()
                           : static_cast<std::size_t>(length) == text.size());
    FUZZ_CHECK(length == 0 || text.find(':') == std::string::npos);
}

void CheckNames(FuzzedDataProvider& input)
{
    const std::string hostName = input.ConsumeRandomLengthString(128);
    FUZZ_CHECK(HostLabel(hostName).find('.') == std::string::npos);
    ResolverDomain(input.ConsumeRandomLengthString(512), hostName);
    const std::string guid = FormatMachineIdAsGuid(input.ConsumeRandomLengthString(64));
    FUZZ_CHECK(guid.empty() || guid.size() == 38);
}

void CheckTimes(FuzzedDataProvider& input)
{
    const LocalTime time = ConsumeTime(input);
    FUZZ_CHECK(!FormatCreationTime(time).empty());
    FUZZ_CHECK(!FormatTimeOfDay(time).empty());
}

}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    SetMessageBoxSink(IgnoreMessage);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    UseLocale(kFuzzLocales[input.ConsumeBool()]);
    CheckMacText(input);
    CheckDiskSerial(input);
    CheckNames(input);
    CheckTimes(input);
    return 0;
}
