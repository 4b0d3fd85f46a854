#include "app/behaviour/Services.h"

#include <filesystem>

std::string currentDirectory()
{
    std::error_code error;
    const std::filesystem::path directory = std::filesystem::current_path(error);
    // On Windows the path is UTF-16, which u8string converts; elsewhere it is
    // bytes, which it keeps as they are.
    const std::u8string text = directory.u8string();
    return {text.begin(), text.end()};
}
