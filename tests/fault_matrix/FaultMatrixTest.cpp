// Both updaters, run to the end again and again: once per scenario of the table below, once per
// platform call of a good run failed at its position, and once per pair of such failures for a
// one-record image. Every run must end truthfully (see UpdaterRun.h).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/fault_matrix/UpdaterRun.h"

namespace {

using fault_matrix::Fault;
using fault_matrix::Neighbours;
using fault_matrix::Program;
using fault_matrix::RunSetup;
using fault_matrix::UpdaterRun;

constexpr Program kPrograms[] = {Program::Ampflash, Program::Wheelflash, Program::WheelflashLoad};

std::string Name(Program program) {
    switch (program) {
        case Program::Ampflash:
            return "ampflash";
        case Program::Wheelflash:
            return "wheelflash";
        case Program::WheelflashLoad:
            return "wheelflash Load Firmware";
    }
    return {};
}

// The device drops off the bus once the update has started and it holds `records` records
// (before the next one), and comes back `backAfterMs` later (never when negative).
RunSetup VanishAfter(std::size_t records, std::int64_t backAfterMs) {
    RunSetup setup;
    setup.during = [records, backAfterMs](UpdaterRun& run, std::int64_t now) {
        if (run.scenarioMark < 0 && run.ImageChecked() && run.Receiving() &&
            run.RecordsHeld() == records) {
            run.scenarioMark = now;
            run.Device().Unplug();
        } else if (run.scenarioMark >= 0 && backAfterMs >= 0 &&
                   now >= run.scenarioMark + backAfterMs) {
            run.Device().Replug();
        }
    };
    return setup;
}

// The image file changes once the click has checked it.
RunSetup ImageChanged(void (*change)(const std::filesystem::path& image)) {
    RunSetup setup;
    setup.during = [change](UpdaterRun& run, std::int64_t) {
        if (run.scenarioMark < 0 && run.ImageChecked()) {
            run.scenarioMark = 1;
            change(run.ImageFile());
        }
    };
    return setup;
}

void Overwrite(const std::filesystem::path& image, std::size_t size, char fill) {
    std::ofstream(image, std::ios::binary | std::ios::trunc) << std::string(size, fill);
}

struct Scenario {
    std::string name;
    RunSetup setup;
};

std::vector<Scenario> Scenarios(Program program) {
    RunSetup cancelled;
    cancelled.acceptConfirmation = false;
    std::vector<Scenario> table = {
        {"good run", {}},
        {"cancelled at the question", cancelled},
        {"gone for good before the first record", VanishAfter(0, -1)},
        {"gone for good after record 1", VanishAfter(1, -1)},
        {"gone for good after the last record", VanishAfter(3, -1)},
        {"gone before the first record, back after 300 ms", VanishAfter(0, 300)},
        {"gone after record 1, back after 300 ms", VanishAfter(1, 300)},
        {"gone after the last record, back after 300 ms", VanishAfter(3, 300)},
        {"image deleted after the check",
         ImageChanged([](const std::filesystem::path& image) { std::filesystem::remove(image); })},
        {"image truncated after the check",
         ImageChanged([](const std::filesystem::path& image) { Overwrite(image, 15, 'x'); })},
        {"image grown after the check",
         ImageChanged([](const std::filesystem::path& image) { Overwrite(image, 800, 'y'); })},
        {"image rewritten after the check",
         ImageChanged([](const std::filesystem::path& image) { Overwrite(image, 127, 'z'); })},
    };
#ifndef _WIN32  // no FIFOs there
    RunSetup fifo;
    fifo.replaceImage = [](const std::filesystem::path& image) { ::mkfifo(image.c_str(), 0600); };
    table.push_back({"a FIFO in place of the image", fifo});
#endif
    if (program == Program::Wheelflash) {
        RunSetup shorter, longer, late, veryLate;
        shorter.controller.imageModeReportLength = 40;
        longer.controller.imageModeReportLength = 65;
        late.controller.leaveAfterMs = 700;
        veryLate.controller.leaveAfterMs = 5000;
        table.push_back({"back with 40-byte reports", shorter});
        table.push_back({"back with 65-byte reports", longer});
        table.push_back({"leaves 700 ms after the command", late});
        table.push_back({"leaves 5 s after the command", veryLate});
    }
    if (program == Program::Ampflash) {
        RunSetup slow, stale;
        slow.amplifier.returnAfterMs = 20000;
        stale.amplifier.listedThroughRestart = true;
        table.push_back({"back 20 s after the reset", slow});
        table.push_back({"still listed as it was after the reset", stale});
    }
    return table;
}

struct BusLayout {
    std::string name;
    Neighbours neighbours;
};

// The device under update alone, and beside other devices: of its own kind and of the other,
// enumerated before and after it, plugged in while it restarts; and the device back from its
// restart on another port.
std::vector<BusLayout> BusLayouts(Program program) {
    const std::string own = program == Program::Ampflash ? "amplifier" : "controller";
    const std::string other = program == Program::Ampflash ? "controller" : "amplifier";
    Neighbours arriving{{}, {own, other}, true, false};
    Neighbours moved{{}, {}, false, true};
    return {
        {"alone", {}},
        {"another of its kind before it", {{own}, {}}},
        {"another of its kind after it", {{}, {own}}},
        {"the other kind before it", {{other}, {}}},
        {"the other kind after it", {{}, {other}}},
        {"both kinds around it", {{other, own}, {own}}},
        {"both kinds plugged in while it restarts", arriving},
        {"back from its restart on another port", moved},
    };
}

TEST(FaultMatrix, EveryScenarioEndsTruthfullyOnEveryBusLayout) {
    for (Program program : kPrograms) {
        for (const BusLayout& layout : BusLayouts(program)) {
            for (Scenario& scenario : Scenarios(program)) {
                scenario.setup.neighbours = layout.neighbours;
                UpdaterRun run(program, scenario.setup);
                run.LoadAndClick();
                EXPECT_EQ(run.Verdict(), "")
                    << Name(program) << ", " << scenario.name << ", " << layout.name;
            }
        }
    }
}

// The good run's calls, as positions to fail.
std::vector<Fault> GoodRunPositions(Program program, const RunSetup& setup) {
    UpdaterRun good(program, setup);
    good.LoadAndClick();
    EXPECT_EQ(good.Verdict(), "") << Name(program) << ", the good run";
    return fault_matrix::FailablePositions(good.Bus().Calls());
}

std::string Describe(const std::vector<Fault>& faults) {
    std::string text;
    for (const Fault& f : faults)
        text += (text.empty() ? "" : " and ") + f.call + " #" + std::to_string(f.nth);
    return text;
}

TEST(FaultMatrix, EveryCallFailedAtEveryPositionEndsTruthfully) {
    for (Program program : kPrograms) {
        for (const BusLayout& layout : {BusLayouts(program)[0], BusLayouts(program)[5]}) {
            RunSetup setup;
            setup.neighbours = layout.neighbours;
            const std::vector<Fault> positions = GoodRunPositions(program, setup);
            ASSERT_GT(positions.size(), 20u);
            for (const Fault& fault : positions) {
                UpdaterRun run(program, setup, {fault});
                run.LoadAndClick();
                EXPECT_EQ(run.Verdict(), "")
                    << Name(program) << ", " << layout.name << ", failing " << Describe({fault});
            }
        }
    }
}

TEST(FaultMatrix, EveryPairOfFailuresEndsTruthfullyForAOneRecordImage) {
    RunSetup oneRecord;
    oneRecord.imageBytes = 40;
    for (Program program : kPrograms) {
        const std::vector<Fault> positions = GoodRunPositions(program, oneRecord);
        for (std::size_t i = 0; i < positions.size(); ++i) {
            for (std::size_t j = i + 1; j < positions.size(); ++j) {
                const std::vector<Fault> faults = {positions[i], positions[j]};
                UpdaterRun run(program, oneRecord, faults);
                run.LoadAndClick();
                EXPECT_EQ(run.Verdict(), "") << Name(program) << ", failing " << Describe(faults);
            }
        }
    }
}

}  // namespace
