#pragma once
// A simulated payment terminal (orvane-termsim --mode terminal) with its event log in a
// scratch directory, and the station's side of its line.
#include "sim/SimTestSupport.h"
#include "sim/StationSide.h"
#include "support/TempDir.h"
#include "support/TermSim.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

class TerminalFixture : public ::testing::Test {
protected:
    TempDir scratch;
    std::string log = scratch.file("events.log");
    std::string files = scratch.file("files");
    std::unique_ptr<TermSim> sim;
    std::unique_ptr<simtest::StationSide> station;

    // Starts the terminal with these further arguments and opens the line at speed.
    // Use with ASSERT_NO_FATAL_FAILURE.
    void start(std::vector<std::string> arguments, speed_t speed = B115200)
    {
        std::vector<std::string> all = {"--mode", "terminal", "--log", log};
        all.insert(all.end(), arguments.begin(), arguments.end());
        sim = std::make_unique<TermSim>(all);
        ASSERT_TRUE(sim->started());
        station = std::make_unique<simtest::StationSide>(sim->slavePath(), speed);
        ASSERT_TRUE(station->opened());
    }

    bool logHas(const std::string& line) const
    {
        auto lines = readLines(log);
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }

    bool waitForLog(const std::string& line, platform::Millis limitMs = 3000) const
    {
        return simtest::waitUntil([&] { return logHas(line); }, limitMs);
    }
};
