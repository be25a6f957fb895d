// Any bytes as one ticket file: the reader must finish, and what it stores
// must keep the load's promises (counts, distinct sorted lists).
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "data/condition_lists.h"
#include "data/ticket_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    lomi::TicketReaderState reader;
    lomi::LoadedData loaded;
    std::string message;
    // Read it twice, as two files of one load: the date carries over.
    if (!lomi::ReadTicketBytes(bytes, reader, loaded, message)) return 0;
    if (!lomi::ReadTicketBytes(bytes, reader, loaded, message)) return 0;
    lomi::SortConditionLists(loaded);

    const auto check_numeric = [](const std::vector<std::int16_t>& list) {
        if (!std::is_sorted(list.begin(), list.end())) std::abort();
        if (std::adjacent_find(list.begin(), list.end()) != list.end()) std::abort();
        if (std::find(list.begin(), list.end(), 0) != list.end()) std::abort();
    };
    for (const auto* list :
         {&loaded.VenueList, &loaded.RaceList, &loaded.HeadcountList, &loaded.AgeList,
          &loaded.ClassList, &loaded.SurfaceList, &loaded.DistanceList}) {
        check_numeric(*list);
    }
    if (!std::is_sorted(loaded.DateList.rbegin(), loaded.DateList.rend())) std::abort();
    if (std::adjacent_find(loaded.DateList.begin(), loaded.DateList.end()) !=
        loaded.DateList.end()) {
        std::abort();
    }
    if (loaded.Records.Size() % 2 != 0) std::abort();
    return 0;
}
