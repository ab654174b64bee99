// The signing tool's user password: asked of the operator on the interface thread and
// kept in the document's memory only.
#include "app/InterfaceThread.h"
#include "app/NuevoRPC.h"
#include "app/OrvaneDoc.h"

namespace {

// A password entry is mandatory: one that is empty once its trailing blanks, tabs and
// line ends are removed is refused.
bool isBlankEntry(const std::string& text)
{
    return text.find_last_not_of(" \t\r\n") == std::string::npos;
}

} // namespace

bool OrvaneDoc::askSignerPassword()
{
    std::string password = signerPassword();
    NuevoRPC request(*this, NuevoRPC::Kind::SignerPassword, password, {});
    runOnInterfaceThread(request);
    if (request.succeeded())
        setSignerPassword(std::move(password));
    return request.succeeded();
}

std::string OrvaneDoc::signerPassword() const
{
    std::scoped_lock lock(signerPasswordMutex_);
    return signerPassword_;
}

void OrvaneDoc::setSignerPassword(std::string password)
{
    std::scoped_lock lock(signerPasswordMutex_);
    signerPassword_ = std::move(password);
}

bool OrvaneDoc::promptSignerPassword(std::string& password)
{
    if (!interfaceThread_)
        return false;
    for (;;) {
        std::string typed;
        if (!interfaceThread_->askPassword("Enter Signer password", typed))
            return false; // cancelled: the password stays as it was
        if (!isBlankEntry(typed)) {
            password = std::move(typed); // kept as typed
            return true;
        }
        interfaceThread_->showMessage("Password entry is mandatory.", "Empty password");
    }
}
