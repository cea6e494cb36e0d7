#include "platform/FileIconSource.h"

namespace {

// Set and read on the main thread only, so it needs no lock.
FileIconSource::Provider &provider()
{
    static FileIconSource::Provider current;
    return current;
}

} // namespace

void FileIconSource::setProvider(Provider newProvider)
{
    provider() = std::move(newProvider);
}

QVariant FileIconSource::iconForFile(const QString &path)
{
    return provider() ? provider()(path) : QVariant();
}
