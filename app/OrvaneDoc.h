#pragma once
// The one document that every thread of the station shares: settings reads, the
// terminal types tree and its current node, the load log, the busy and closing flags,
// the three locks, the loader threads and the queue of requests for the interface thread.
#include "app/LoaderThreads.h"
#include "app/MacRangeDatabase.h"
#include "comm/BarcodeReader.h"
#include "data/TerminalTree.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace platform {
class SettingsStore;
}
class InterfaceThread;
class Progress;
class RPC;

class OrvaneDoc {
public:
    explicit OrvaneDoc(platform::SettingsStore& settings);
    ~OrvaneDoc();
    OrvaneDoc(const OrvaneDoc&) = delete;
    OrvaneDoc& operator=(const OrvaneDoc&) = delete;

    void setInterfaceThread(InterfaceThread* interfaceThread);
    platform::SettingsStore& settings() { return settings_; }

    // Settings of section Settings, read from the store at the moment of use.
    std::string readSetting(std::string_view key);
    std::int32_t readSettingInt(std::string_view key, std::int32_t fallback = 0);

    // The current model's download description; nothing / empty when the current node
    // is not a model or lacks the section or key.
    std::optional<ProfileSection> currentModelSection(std::string_view section);
    std::string currentModelValue(std::string_view section, std::string_view key);

    // Appends one line to the load log named by Registro; failures are silent.
    void appendLogLine(std::string_view text);

    void setBusy(bool busy);
    bool busy() const { return busy_.load(); }
    static bool processBusy();
    void setClosing(bool closing) { closing_.store(closing); }
    bool closing() const { return closing_.load(); }
    bool reloading() const { return reloading_.load(); }

    std::recursive_mutex& documentLock() { return documentLock_; }
    std::recursive_mutex& signingLock() { return signingLock_; }
    std::recursive_mutex& printerLock() { return printerLock_; }

    // The terminal types tree; interface thread only.
    void buildTerminalTree();
    void setCurrentNode(TestTree::TreeNode* node);
    TestTree::TreeNode* currentNode() const { return currentNode_; }
    std::string nodePath(const TestTree::TreeNode* node) const;
    TestTree::TreeNode* findNode(std::string_view path);
    const TestTree::NodeList& topLevelNodes() const { return tree_; }
    const std::string& title() const { return title_; }

    // Runs a request on the interface thread and answers when it has run.
    void runOnInterfaceThread(RPC& request);
    // Command 104: runs every queued request in order; interface thread only.
    void executeQueuedRequests();

    // Identity values for a terminal (serial number as decimal text, MAC address as 12
    // hexadecimal digits, IPv4 address as a 32-bit number); the label, the job's port
    // name, is shown when the operator is asked. False, without a message, when no
    // value could be had. Any thread: the work runs on the interface thread.
    bool assignSerialNumber(std::string_view label, std::string& value);
    bool assignMacAddress(std::string_view label, std::string& value);
    bool assignIpAddress(std::string_view label, std::uint32_t& value);
    // The reading dialogs behind the assignments; interface thread only.
    bool readText(const std::string& caption, std::string& text);
    bool readIpAddress(const std::string& caption, std::uint32_t& address);
    // The model search command: asks for a text, typed or scanned, and makes the model
    // it names the current node (the operator picks one when several match). Does
    // nothing while a download runs. Interface thread only.
    void searchModel();
    // Asks the operator for the signing tool's user password and keeps it in memory.
    bool askSignerPassword();
    // Read by the signing on a loader thread, set by the prompt on the interface thread.
    std::string signerPassword() const;
    void setSignerPassword(std::string password);
    // Signs configuration data in place with the external signing tool: length in and
    // out, never above capacity; false with the error text to report.
    bool signConfiguration(std::uint8_t* data, std::size_t& length, std::size_t capacity, std::string& errorText);

    InterfaceThread* interfaceThread() const { return interfaceThread_; }
    // The bar-code reader the settings ask for; none for the keyboard only.
    BarcodeReader::Reader* reader() const { return reader_.get(); }

    // Starts a download job for the port on a loader thread of its own.
    void startDownload(const std::string& portName, std::unique_ptr<Progress> progress);
    // Waits for the loader threads to end; false when they did not within limitMs.
    bool waitForLoaderThreads(long limitMs = 0) { return loaderThreads_.waitAll(limitMs); }

    // Reload of the document: the tree from the terminals directory and the current
    // node from CurNode.
    void reload();
    // Closing of the document: CurNode written (unless the caller chose the model
    // itself, as the headless station does), the tree destroyed.
    void close(bool rememberCurrentNode = true);

private:
    friend class NuevoRPC;

    void updateAllViews();

    // The interface thread's side of the identity requests and of the signer password
    // request: the value from the source the settings choose, or the operator's answer.
    bool serialNumberFromSource(const std::string& label, std::string& value);
    bool macAddressFromSource(const std::string& label, std::string& value);
    bool ipAddressFromSource(const std::string& label, std::uint32_t& value);
    bool promptSignerPassword(std::string& password);
    // Stops and destroys the reader, then creates and starts the one LecturaRadio asks
    // for (none for the keyboard only).
    void replaceReader();
    void stopReader();

    platform::SettingsStore& settings_;
    InterfaceThread* interfaceThread_ = nullptr;
    std::atomic<bool> reloading_{false};
    std::atomic<bool> busy_{false};
    std::atomic<bool> closing_{false};
    TestTree::NodeList tree_;
    TestTree::TreeNode* currentNode_ = nullptr;
    std::string title_;
    mutable std::mutex signerPasswordMutex_;
    std::string signerPassword_; // never written to the settings store
    std::recursive_mutex documentLock_;
    std::recursive_mutex signingLock_;
    std::recursive_mutex printerLock_;
    std::deque<RPC*> requests_;
    std::unique_ptr<BarcodeReader::Reader> reader_;
    // The MAC range database: connected by the first request, closed with the document.
    MacRangeDatabase macRanges_;
    // Last member: its destructor waits for the loader threads, which use the rest.
    LoaderThreads loaderThreads_;
};
