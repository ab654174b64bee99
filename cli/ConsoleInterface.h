#pragma once
// The headless station's main thread as the document's interface thread.
#include "app/InterfaceThread.h"

class ConsoleLoop;
class OrvaneDoc;

class ConsoleInterface final : public InterfaceThread {
public:
    ConsoleInterface(ConsoleLoop& loop, OrvaneDoc& document) : loop_(loop), document_(document) {}
    bool isInterfaceThread() const override;
    void postExecuteRequests() override;

private:
    ConsoleLoop& loop_;
    OrvaneDoc& document_;
};
