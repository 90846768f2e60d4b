#include "sheet/local_time_zone.h"

#include <cstdlib> // defines __GLIBC__ where it applies

#if defined(__GLIBC__)
#include <unistd.h>
#endif

namespace sheet {

void readLocalTimeZoneOnce() {
#if defined(__GLIBC__)
    // ":/etc/localtime" is what glibc reads when TZ is unset, and Qt takes it as the system zone.
    if (std::getenv("TZ") == nullptr && ::access("/etc/localtime", R_OK) == 0)
        ::setenv("TZ", ":/etc/localtime", 0);
#endif
}

} // namespace sheet
