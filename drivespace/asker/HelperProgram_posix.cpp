#include "drivespace/asker/HelperProgram.h"

#include "drivespace/asker/HelperProtocol.h"

#include <filesystem>
#include <system_error>

namespace HelperProgram {

std::string Path()
{
    // Empty in a package's build.
    const std::filesystem::path buildPrograms = QUILLMAR_BUILD_PROGRAMS;
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    const bool fromBuildTree = !buildPrograms.empty() && !error && self.parent_path() == buildPrograms;
    const std::filesystem::path folder = fromBuildTree ? buildPrograms : QUILLMAR_INSTALLED_HELPERS;
    return (folder / HelperProtocol::ProgramName).string();
}

} // namespace HelperProgram
