// How much of each figure one run takes: the full run of `make bench`, or the short run the test
// command makes to see that every figure can still be taken (each once, small sizes).
#pragma once

#include <cstddef>

namespace bench {

struct RunSize {
    std::size_t updateRecords;     // the virtual-clock updates: CPU per record
    std::size_t realClockRecords;  // the real-clock ampflash update
    int pacedRecords;              // the Qt progress display, one record every 4 ms
    int headlessTicks;
    int qtTicks;              // at servodiag's 200 ms
    int simSearchInterfaces;  // interfaces visited over all searches on the simulated bus
    int hidrawNodes;
    int hidrawSearches;
    double rssFirstSampleSeconds;  // servodiag-sim's memory, read twice after its start
    double rssLastSampleSeconds;
    int chartTicks;  // readings added to servodiag's full chart, each drawn
};

// The longest image the updaters accept; 3,000 records on the real clock (about 12 s of
// transfer); eight seconds of status ticks; three minutes of servodiag-sim; a minute of readings
// on servodiag's full chart.
inline constexpr RunSize kFullRun{32766, 3000, 1000, 20000, 40, 200000, 1000, 20, 60, 180, 300};

// Each figure once, in well under a minute: most of it is the device's own delays around the
// real-clock update (its bootloader's six seconds, the reset), taken twice with its floor.
inline constexpr RunSize kShortRun{300, 100, 50, 200, 5, 20000, 50, 2, 2, 4, 3};

}  // namespace bench
