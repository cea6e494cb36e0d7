#pragma once

#include <unistd.h>
#include <utility>

// Owns an open file descriptor and closes it when it goes; a negative value owns nothing.
class FileDescriptor final
{
public:
    explicit FileDescriptor(int descriptor) : m_descriptor(descriptor) {}
    ~FileDescriptor()
    {
        if (m_descriptor >= 0)
            ::close(m_descriptor);
    }
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;

    int get() const { return m_descriptor; }
    // Hands the descriptor over; this object then owns nothing.
    int release() { return std::exchange(m_descriptor, -1); }

private:
    int m_descriptor;
};
