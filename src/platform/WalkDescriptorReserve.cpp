#include "platform/WalkDescriptorReserve.h"

#include <QDir>
#include <QThread>

#include <algorithm>
#include <sys/resource.h>

using namespace Qt::StringLiterals;

namespace {

// A wake-up descriptor for each thread of the high-priority global queue that may start while
// the walk holds its share: the helpers that read ahead start as the walk begins. The files
// the digests read are opened once the walk has let its folders go.
int threadReserve()
{
    return QThread::idealThreadCount();
}

int openDescriptors()
{
    return static_cast<int>(QDir(u"/proc/self/fd"_s).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size());
}

// Descriptors the process opens besides its threads: a property list, a library's database.
constexpr int spare = 8;

} // namespace

std::atomic<int> WalkDescriptorReserve::s_allowance = 1 << 30;
std::atomic<int> WalkDescriptorReserve::s_held = 0;

void WalkDescriptorReserve::update()
{
    rlimit limit {};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return;
    const long soft = static_cast<long>(std::min<rlim_t>(limit.rlim_cur, 1 << 30));
    const long reserve = openDescriptors() - s_held.load() + threadReserve() + spare;
    s_allowance.store(static_cast<int>(std::max(0L, soft - reserve)));
}

bool WalkDescriptorReserve::take()
{
    if (s_held.fetch_add(1) < s_allowance.load())
        return true;
    s_held.fetch_sub(1);
    return false;
}

void WalkDescriptorReserve::giveBack()
{
    s_held.fetch_sub(1);
}
