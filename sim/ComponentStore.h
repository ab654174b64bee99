#pragma once
// Where the terminal keeps the components the station downloads. A component is
// opened with its 256-byte header, takes its data block by block, and when closed is
// written to the files directory as NN-<kind>.bin with its header as NN-<kind>.hdr,
// NN counting the closed components from 01.
#include <cstdint>
#include <string>
#include <string_view>

namespace termsim {

enum class ComponentKind { Config, Prekernel, Kernel, App };

// "config", "prekernel", "kernel", "app".
std::string_view kindName(ComponentKind kind);

class ComponentStore {
public:
    // Without a directory nothing is written; sizes and numbers are kept all the same.
    explicit ComponentStore(std::string directory) : directory_(std::move(directory)) {}

    // Opens a new component; one still open is dropped (see abandon()).
    void open(ComponentKind kind, std::string header);
    bool isOpen() const { return open_; }
    ComponentKind kind() const { return kind_; }
    std::uint64_t size() const { return size_; }
    void append(std::string_view data);

    struct Closed {
        bool written = false;    // false: failure says why
        std::string name;        // "01-kernel"
        std::uint64_t size = 0;
        std::string failure;
    };
    // Ends the open component and writes its files.
    Closed close();
    // Drops the open component without writing it; false when none was open.
    bool abandon();

private:
    bool writeFile(const std::string& path, std::string_view content, std::string& failure) const;

    std::string directory_;
    bool open_ = false;
    ComponentKind kind_ = ComponentKind::App;
    std::string header_;
    std::string data_;
    std::uint64_t size_ = 0;
    unsigned closedCount_ = 0;
};

} // namespace termsim
