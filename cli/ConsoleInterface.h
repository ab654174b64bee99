#pragma once
// The headless station's main thread as the document's interface thread: requests are
// run from its loop, and the operator is asked on standard error and answers on
// standard input, one line each; the end of input counts as Cancel.
#include "app/InterfaceThread.h"

class ConsoleLoop;
class OrvaneDoc;

class ConsoleInterface final : public InterfaceThread {
public:
    ConsoleInterface(ConsoleLoop& loop, OrvaneDoc& document) : loop_(loop), document_(document) {}
    bool isInterfaceThread() const override;
    void postExecuteRequests() override;
    bool readText(const std::string& caption, std::string& text, BarcodeReader::Reader* reader) override;
    bool readIpAddress(const std::string& caption, std::uint32_t& address, BarcodeReader::Reader* reader) override;
    bool askPassword(const std::string& title, std::string& password) override;
    void showMessage(const std::string& text, const std::string& caption) override;
    // Lists the candidates numbered from 1 and reads the operator's number; an empty
    // line or the end of input cancels.
    bool chooseModel(const std::vector<TestTree::Model*>& candidates, std::size_t& chosenIndex) override;

private:
    bool ask(const std::string& caption, std::string& answer, bool echo);
    // Asks for a line that the operator types or scans with the reader (when there is
    // one), whichever comes first; scanned tells which.
    bool askOrScan(const std::string& caption, BarcodeReader::Reader* reader, std::string& answer, bool& scanned);

    ConsoleLoop& loop_;
    OrvaneDoc& document_;
};
