// Replacing a file through a temporary beside it: a crash or a full disk mid-write leaves
// the previous file as it was.
#include "system/files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

bool WriteFileReplacing(const std::string& path, std::string_view bytes)
{
    std::string temporary = path + ".new";
    int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
    {
        return false;
    }
    std::size_t written = 0;
    while (written < bytes.size())
    {
        ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n <= 0)
        {
            ::close(fd);
            ::unlink(temporary.c_str());
            return false;
        }
        written += static_cast<std::size_t>(n);
    }
    bool synced = ::fsync(fd) == 0;
    if (::close(fd) != 0 || !synced)
    {
        ::unlink(temporary.c_str());
        return false;
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0)
    {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}
