#pragma once
// A symbolic link to the simulator's line, present while the simulator runs, so tests
// and demos can name the line by a fixed path.
#include <optional>
#include <string>

namespace termsim {

class SymbolicLink {
public:
    // Makes linkPath point to target. A symbolic link already there (left by a run that
    // did not end cleanly) is replaced; any other file is left alone and the call fails
    // with the reason in error.
    static std::optional<SymbolicLink> create(const std::string& linkPath, const std::string& target,
                                              std::string& error);

    SymbolicLink(SymbolicLink&& other) noexcept;
    SymbolicLink& operator=(SymbolicLink&& other) noexcept;
    SymbolicLink(const SymbolicLink&) = delete;
    SymbolicLink& operator=(const SymbolicLink&) = delete;
    ~SymbolicLink() { remove(); }

    // Removes the link if it still points to our target (a link that someone else has
    // put there since is theirs).
    void remove();

private:
    SymbolicLink(std::string linkPath, std::string target);

    std::string linkPath_;
    std::string target_;
};

} // namespace termsim
