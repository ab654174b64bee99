#include "engine/JobFixture.h"

#include <stdexcept>

void RecordingProgress::setRange(int upperBound)
{
    std::scoped_lock lock(record_->mutex);
    record_->upperBound = upperBound;
}

void RecordingProgress::setPos(int position)
{
    if (record_->throwOnSetPos)
        throw std::runtime_error("progress failure");
    std::scoped_lock lock(record_->mutex);
    record_->position = position;
}

void RecordingProgress::step(int amount)
{
    std::scoped_lock lock(record_->mutex);
    long long moved = static_cast<long long>(record_->position) + amount;
    record_->position = moved < 0 ? 0 : moved > record_->upperBound ? record_->upperBound : static_cast<int>(moved);
}

void RecordingProgress::complete()
{
    std::scoped_lock lock(record_->mutex);
    record_->position = record_->upperBound;
}

void RecordingProgress::setText(const std::string& text)
{
    std::scoped_lock lock(record_->mutex);
    record_->texts.push_back(text);
    if (!record_->cancelOnText.empty() && text == record_->cancelOnText)
        record_->cancel = true;
}

void RecordingProgress::finish(bool success)
{
    std::scoped_lock lock(record_->mutex);
    ++record_->finishes;
    record_->success = success;
}

JobFixture::JobFixture() : settings(dir.write("orvane.conf", "[Settings]\n")), document(settings)
{
    dir.mkdir("terminals");
    dir.mkdir("apps");
    set("DirEqui", dir.file("terminals"));
    set("DirAplic", dir.file("apps"));
    set("Registro", dir.file("load.log"));
    set("RegistroRadio", "1");
    set("RegistroNivel", "4");
}

void JobFixture::selectModel(const std::string& relative, const std::string& content)
{
    dir.write("terminals/" + relative, content);
    std::string path = relative.substr(0, relative.rfind('.'));
    set("CurNode", path);
    document.buildTerminalTree();
}

std::string JobFixture::writeApp(const std::string& name, const std::string& content)
{
    return dir.write("apps/" + name, content);
}

void JobFixture::set(const std::string& key, const std::string& value)
{
    settings.write(key, value);
}

void JobFixture::setPrinter(const std::string& port, const std::string& columns)
{
    set("ImpresionRadio", "1");
    set("ImpresionPuerto", port);
    set("ImpresionVelocidad", "9600");
    set("ImpresionParidad", "N");
    set("ImpresionBits", "8");
    set("ImpresionStop", "1");
    if (!columns.empty())
        set("ImpresionColumnas", columns);
}

std::unique_ptr<DownloadJob> JobFixture::makeJob(const std::string& port)
{
    return std::make_unique<DownloadJob>(port, document, std::make_unique<RecordingProgress>(progress));
}

std::vector<std::string> JobFixture::logLines() const
{
    return readLines(dir.file("load.log"));
}

std::vector<std::string> JobFixture::texts()
{
    std::scoped_lock lock(progress->mutex);
    return progress->texts;
}
