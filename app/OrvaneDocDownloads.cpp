// The document starts each download on a loader thread of its own.
#include "app/OrvaneDoc.h"

#include "loader/DownloadJob.h"
#include "loader/Progress.h"

void OrvaneDoc::startDownload(const std::string& portName, std::unique_ptr<Progress> progress)
{
    auto job = std::make_unique<DownloadJob>(portName, *this, std::move(progress));
    loaderThreads_.start([job = std::move(job)]() mutable {
        DownloadJob::threadRoutine(std::move(job));
    });
}
