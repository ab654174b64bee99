#include "signing/ToolRuns.h"

#include "support/TempDir.h"

#include <cerrno>
#include <csignal>
#include <map>
#include <sstream>

namespace {

std::vector<std::string> fields(const std::string& line)
{
    std::vector<std::string> out;
    std::istringstream in(line);
    for (std::string field; std::getline(in, field, '\t');)
        out.push_back(field);
    return out;
}

} // namespace

std::vector<ToolRun> readToolRuns(const std::string& logPath)
{
    std::vector<ToolRun> runs;
    std::map<int, std::size_t> byPid;
    for (const std::string& line : readLines(logPath)) {
        std::vector<std::string> f = fields(line);
        if (f.size() < 2)
            continue;
        int pid = std::stoi(f[1]);
        if (f[0] == "run" && f.size() >= 4) {
            ToolRun run;
            run.pid = pid;
            run.workingDirectory = f[2];
            run.program = f[3];
            run.arguments.assign(f.begin() + 4, f.end());
            byPid[pid] = runs.size();
            runs.push_back(run);
        } else if (f[0] == "input" && f.size() == 4 && byPid.count(pid)) {
            runs[byPid[pid]].inputMode = f[2];
            runs[byPid[pid]].inputSize = std::stoll(f[3]);
        } else if (f[0] == "refuse" && f.size() == 3 && byPid.count(pid)) {
            runs[byPid[pid]].refusal = f[2];
        } else if (f[0] == "exit" && f.size() == 3 && byPid.count(pid)) {
            runs[byPid[pid]].exitCode = std::stoi(f[2]);
        }
    }
    return runs;
}

bool runsOneAfterAnother(const std::string& logPath)
{
    bool running = false;
    for (const std::string& line : readLines(logPath)) {
        std::string kind = fields(line).at(0);
        if (kind == "run") {
            if (running)
                return false;
            running = true;
        } else if (kind == "exit") {
            running = false;
        }
    }
    return true;
}

bool processGone(int pid)
{
    return ::kill(pid, 0) != 0 && errno == ESRCH;
}
