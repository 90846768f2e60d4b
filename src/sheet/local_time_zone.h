// The local time zone, read once for the whole process.
#pragma once

namespace sheet {

// With no TZ set, the C library looks at /etc/localtime again on every conversion to local
// time, under a lock every thread shares; libzip makes one such conversion for each part of
// every workbook it opens. Naming that same file in TZ makes the library read it once. Does
// nothing where TZ is set or the file is missing, and off glibc-based systems. Call it at the
// start of main, before any thread: it changes the environment.
void readLocalTimeZoneOnce();

} // namespace sheet
