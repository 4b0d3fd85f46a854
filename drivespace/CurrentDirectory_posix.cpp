#include "drivespace/CurrentDirectory.h"

#include <unistd.h>

#include <cerrno>

std::string currentDirectory()
{
    std::string directory(256, '\0');
    while (!getcwd(directory.data(), directory.size())) {
        if (errno != ERANGE)
            return {};
        directory.resize(directory.size() * 2);
    }
    directory.resize(directory.find('\0'));
    return directory;
}
