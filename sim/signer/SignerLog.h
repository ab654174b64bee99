#pragma once
// The stand-in's record of its runs for tests: one line per event, fields separated by
// tabs, each line appended with a single write so that runs never mix their lines:
//   run    <pid> <working directory> <program as started> <arguments...>
//   input  <pid> <octal mode of the file to sign> <its size>
//   refuse <pid> <why the data was not signed>
//   exit   <pid> <exit code>
// Without a log file nothing is recorded.
#include <string>
#include <vector>

namespace signer {

class SignerLog {
public:
    explicit SignerLog(std::string path) : path_(std::move(path)) {}

    void run(const std::string& program, const std::vector<std::string>& arguments) const;
    void input(unsigned mode, long long size) const;
    void refusal(const std::string& reason) const;
    void exit(int code) const;

private:
    void append(std::vector<std::string> fields) const;

    std::string path_;
};

} // namespace signer
