#pragma once

// For tools/startbench: when the environment variable
// NANAHOSHI_PAINT_TIMES is set, the program prints on stderr, for every
// top-level window,
//   first <objectName> <µs> <cpu µs>          when its first paint has ended
//   settled <objectName> <µs> <KiB> <cpu µs>  when the last paint before the
//                                             event loop first waits has ended,
//                                             with the peak memory so far
// in microseconds of CLOCK_MONOTONIC, which the bench reads as well, and
// the processor time the process had used by then. When the variable
// holds a window's objectName, the process ends (status 0, nothing more
// written) once that window has settled. Without the variable nothing is
// installed.
void reportPaintTimesWhenAsked();
