#include "XServer.h"

#include <QByteArray>
#include <QDeadlineTimer>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int waitForDisplayMilliseconds = 10000;

// Reads what the server writes to its display pipe until the line ends, the pipe closes or
// the time is up.
QByteArray readDisplayLine(int fd)
{
    QByteArray line;
    const QDeadlineTimer deadline(waitForDisplayMilliseconds);
    while (!line.contains('\n') && !deadline.hasExpired()) {
        pollfd request{fd, POLLIN, 0};
        const int ready = ::poll(&request, 1, static_cast<int>(deadline.remainingTime()));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            break;
        char buffer[32];
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count <= 0)
            break;
        line.append(buffer, count);
    }
    return line.trimmed();
}

} // namespace

XServer::~XServer()
{
    stop();
}

QString XServer::start()
{
    int displayPipe[2];
    if (::pipe(displayPipe) != 0)
        return u"cannot make a pipe"_s;
    const QByteArray fd = QByteArray::number(displayPipe[1]);
    const pid_t parent = ::getpid();
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(displayPipe[0]);
        ::close(displayPipe[1]);
        return u"cannot fork"_s;
    }
    if (child == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parent)
            ::_exit(1);
        ::close(displayPipe[0]);
        ::execlp("Xvfb", "Xvfb", "-displayfd", fd.constData(), "-screen", "0", "1280x800x24", "-screen", "1",
                 "2560x1600x24", "-nolisten", "tcp", "-noreset", static_cast<char *>(nullptr));
        std::fprintf(stderr, "cannot run Xvfb\n");
        ::_exit(127);
    }
    ::close(displayPipe[1]);
    m_pid = child;
    const QByteArray number = readDisplayLine(displayPipe[0]);
    ::close(displayPipe[0]);
    bool isNumber = false;
    number.toInt(&isNumber);
    if (!isNumber) {
        int status = 0;
        const bool ended = ::waitpid(m_pid, &status, WNOHANG) == m_pid;
        stop();
        if (ended && WIFEXITED(status) && WEXITSTATUS(status) == 127)
            return u"Xvfb is not installed"_s;
        return ended ? u"Xvfb ended without naming a display"_s : u"Xvfb named no display within 10 s"_s;
    }
    m_display = u":"_s + QString::fromLatin1(number);
    return {};
}

void XServer::stop()
{
    if (m_pid <= 0)
        return;
    ::kill(m_pid, SIGTERM);
    ::waitpid(m_pid, nullptr, 0);
    m_pid = -1;
}
