#pragma once
// A job on a temporary workspace whose terminal port is open on a pseudo-terminal, as a
// download has it after its first steps: the protocol steps can be run one by one
// against a terminal the test plays on the master side.
#include "engine/JobFixture.h"
#include "support/PtyPair.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

struct PtyJob {
    // The description selected as the current model; the job's settings read, its port open.
    explicit PtyJob(const std::string& description)
    {
        f.selectModel("M.app", description);
        job = f.makeJob(pty.slavePath());
        job->readSettings();
        EXPECT_TRUE(job->openTerminalPort());
    }
    // How often the job reported the text.
    int countOf(const std::string& text)
    {
        auto texts = f.texts();
        return static_cast<int>(std::count(texts.begin(), texts.end(), text));
    }
    bool said(const std::string& text) { return countOf(text) > 0; }

    JobFixture f;
    PtyPair pty;
    std::unique_ptr<DownloadJob> job;
};
