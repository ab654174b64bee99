#include "app/OrvaneDoc.h"

#include "app/InterfaceThread.h"
#include "app/RPC.h"
#include "platform/SettingsStore.h"

#include <cstdio>

namespace {
std::atomic<bool> processBusyFlag{false};
}

OrvaneDoc::OrvaneDoc(platform::SettingsStore& settings) : settings_(settings)
{
    title_ = TestTree::nodeTitle(nullptr);
}

OrvaneDoc::~OrvaneDoc()
{
    closing_.store(true);
    loaderThreads_.waitAll();
}

void OrvaneDoc::setInterfaceThread(InterfaceThread* interfaceThread)
{
    interfaceThread_ = interfaceThread;
}

std::string OrvaneDoc::readSetting(std::string_view key)
{
    std::scoped_lock lock(documentLock_);
    return settings_.readString(key);
}

std::int32_t OrvaneDoc::readSettingInt(std::string_view key, std::int32_t fallback)
{
    std::scoped_lock lock(documentLock_);
    return settings_.readInt(key, fallback);
}

std::optional<ProfileSection> OrvaneDoc::currentModelSection(std::string_view section)
{
    std::scoped_lock lock(documentLock_);
    auto* model = dynamic_cast<TestTree::Model*>(currentNode_);
    if (!model)
        return std::nullopt;
    const ProfileSection* found = model->profile.section(section);
    if (!found)
        return std::nullopt;
    return *found;
}

std::string OrvaneDoc::currentModelValue(std::string_view section, std::string_view key)
{
    std::scoped_lock lock(documentLock_);
    auto* model = dynamic_cast<TestTree::Model*>(currentNode_);
    if (!model)
        return {};
    return model->profile.value(section, key);
}

void OrvaneDoc::appendLogLine(std::string_view text)
{
    std::scoped_lock lock(documentLock_);
    std::string path = readSetting("Registro");
    if (path.empty())
        return;
    std::FILE* file = std::fopen(path.c_str(), "ae");
    if (!file)
        return;
    std::fwrite(text.data(), 1, text.size(), file);
    std::fputc('\n', file);
    std::fclose(file);
}

void OrvaneDoc::setBusy(bool busy)
{
    busy_.store(busy);
    processBusyFlag.store(busy);
    updateAllViews();
}

bool OrvaneDoc::processBusy()
{
    return processBusyFlag.load();
}

void OrvaneDoc::updateAllViews()
{
    if (interfaceThread_)
        interfaceThread_->updateAllViews();
}

void OrvaneDoc::runOnInterfaceThread(RPC& request)
{
    if (!interfaceThread_ || interfaceThread_->isInterfaceThread()) {
        request.execute();
        return;
    }
    {
        std::scoped_lock lock(documentLock_);
        bool wasEmpty = requests_.empty();
        requests_.push_back(&request);
        if (wasEmpty)
            interfaceThread_->postExecuteRequests();
    }
    request.waitSignalled();
}

void OrvaneDoc::executeQueuedRequests()
{
    std::deque<RPC*> taken;
    {
        std::scoped_lock lock(documentLock_);
        taken.swap(requests_);
    }
    for (RPC* request : taken) {
        request->execute();
        request->signal();
    }
}
