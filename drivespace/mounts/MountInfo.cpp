#include "drivespace/mounts/MountInfo.h"

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <ranges>
#include <system_error>
#include <utility>

namespace {

// The number all of digits write in base, or -1 when they write none or one
// above a byte.
int byteIn(std::string_view digits, int base)
{
    unsigned value = 0;
    const char* end = digits.data() + digits.size();
    const auto read = std::from_chars(digits.data(), end, value, base);
    return read.ec == std::errc{} && read.ptr == end && value < 256 ? static_cast<int>(value) : -1;
}

// Each backslash and the three characters after it that byteOf reads as a
// byte (not -1) become that byte.
std::string decodeEscapes(std::string_view text, int (*byteOf)(std::string_view))
{
    std::string decoded;
    decoded.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int byte = text[i] == '\\' && i + 3 < text.size() ? byteOf(text.substr(i + 1, 3)) : -1;
        decoded += byte >= 0 ? static_cast<char>(byte) : text[i];
        i += byte >= 0 ? 3 : 0;
    }
    return decoded;
}

std::vector<std::string_view> fieldsOf(std::string_view line)
{
    std::vector<std::string_view> fields;
    for (const auto field : std::views::split(line, ' '))
        if (!field.empty())
            fields.emplace_back(field.begin(), field.end());
    return fields;
}

} // namespace

namespace MountInfo {

std::string DecodeOctalEscapes(std::string_view text)
{
    return decodeEscapes(text, [](std::string_view escape) { return byteIn(escape, 8); });
}

std::string DecodeHexEscapes(std::string_view text)
{
    return decodeEscapes(text,
                         [](std::string_view escape) { return escape[0] == 'x' ? byteIn(escape.substr(1), 16) : -1; });
}

std::vector<MountLine> ParseMountInfo(std::string_view text)
{
    // Fields: id, parent id, major:minor, root, mount point, options, any number
    // of optional fields, "-", type, source, super options.
    constexpr std::size_t fixedFields = 6;
    std::vector<MountLine> lines;
    for (const auto row : std::views::split(text, '\n')) {
        const auto fields = fieldsOf(std::string_view(row.begin(), row.end()));
        std::size_t separator = fixedFields;
        while (separator < fields.size() && fields[separator] != "-")
            ++separator;
        if (separator + 1 >= fields.size())
            continue; // no "-" or no type after it
        MountLine line;
        line.mountId = fields[0];
        line.parentId = fields[1];
        line.device = fields[2];
        line.root = DecodeOctalEscapes(fields[3]);
        line.mountPoint = DecodeOctalEscapes(fields[4]);
        line.fsType = DecodeOctalEscapes(fields[separator + 1]);
        if (separator + 2 < fields.size())
            line.source = DecodeOctalEscapes(fields[separator + 2]);
        lines.push_back(std::move(line));
    }
    return lines;
}

std::map<std::string, std::string> LabelsBySource(const std::vector<MountLine>& lines,
                                                  const std::vector<VolumeLabel>& labels)
{
    std::map<std::string_view, std::string_view> byDevice;
    std::map<std::string, std::string_view> byNode;
    for (const VolumeLabel& label : labels) {
        byDevice.emplace(label.device, label.text);
        byNode.emplace("/dev/" + label.deviceName, label.text);
    }
    std::map<std::string, std::string> bySource;
    for (const MountLine& line : lines) {
        if (const auto device = byDevice.find(line.device); device != byDevice.end())
            bySource.emplace(line.source, device->second);
        else if (const auto node = byNode.find(line.source); node != byNode.end())
            bySource.emplace(line.source, node->second);
    }
    return bySource;
}

} // namespace MountInfo
