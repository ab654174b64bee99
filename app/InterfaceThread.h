#pragma once
// The thread that owns the operator's interface: the GUI's event loop or the headless
// station's main loop. Loader threads never touch it directly; they queue requests in
// the document, which asks the interface thread to run them. The dialogs below are
// called on the interface thread only.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace BarcodeReader {
class Reader;
}
namespace TestTree {
class Model;
}

class InterfaceThread {
public:
    virtual ~InterfaceThread() = default;
    // True when called on the interface thread itself.
    virtual bool isInterfaceThread() const = 0;
    // Command 104: have the interface thread call OrvaneDoc::executeQueuedRequests soon.
    // Called from any thread; never blocks.
    virtual void postExecuteRequests() = 0;
    // The document changed in a way the views show (tree rebuilt, busy flag, title).
    virtual void updateAllViews() {}

    // Asks the operator for one line of text, typed or scanned by the bar-code reader
    // (none when the settings choose the keyboard only; the document has enabled it and
    // the dialog attaches itself as its client); false when the operator cancelled.
    virtual bool readText(const std::string& caption, std::string& text, BarcodeReader::Reader* reader) = 0;
    // Asks for an IPv4 address (first dotted field in the most significant byte).
    virtual bool readIpAddress(const std::string& caption, std::uint32_t& address,
                               BarcodeReader::Reader* reader) = 0;
    // Asks for a password, masked; false when the operator cancelled.
    virtual bool askPassword(const std::string& title, std::string& password) = 0;
    // Shows a message with its caption and waits for the operator to take note.
    virtual void showMessage(const std::string& text, const std::string& caption) = 0;
    // Lets the operator pick one of several models found by the model search (shown in
    // the order given); false when the operator cancelled or cannot be asked.
    virtual bool chooseModel(const std::vector<TestTree::Model*>& candidates, std::size_t& chosenIndex)
    {
        (void)candidates;
        (void)chosenIndex;
        return false;
    }
};
