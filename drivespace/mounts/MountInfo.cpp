#include "drivespace/mounts/MountInfo.h"

#include <algorithm>
#include <cstddef>
#include <utility>

namespace {

bool isOctal(char c)
{
    return c >= '0' && c <= '7';
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::vector<std::string_view> fieldsOf(std::string_view line)
{
    std::vector<std::string_view> fields;
    std::size_t pos = 0;
    while (pos < line.size()) {
        const std::size_t start = line.find_first_not_of(' ', pos);
        if (start == std::string_view::npos)
            break;
        const std::size_t end = std::min(line.find(' ', start), line.size());
        fields.push_back(line.substr(start, end - start));
        pos = end;
    }
    return fields;
}

} // namespace

namespace MountInfo {

std::string DecodeOctalEscapes(std::string_view text)
{
    std::string decoded;
    decoded.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() && isOctal(text[i + 1]) && isOctal(text[i + 2]) &&
            isOctal(text[i + 3])) {
            const int value = (text[i + 1] - '0') * 64 + (text[i + 2] - '0') * 8 + (text[i + 3] - '0');
            if (value < 256) {
                decoded += static_cast<char>(value);
                i += 3;
                continue;
            }
        }
        decoded += text[i];
    }
    return decoded;
}

std::string DecodeHexEscapes(std::string_view text)
{
    std::string decoded;
    decoded.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x') {
            const int high = hexValue(text[i + 2]);
            const int low = hexValue(text[i + 3]);
            if (high >= 0 && low >= 0) {
                decoded += static_cast<char>(high * 16 + low);
                i += 3;
                continue;
            }
        }
        decoded += text[i];
    }
    return decoded;
}

std::vector<MountLine> ParseMountInfo(std::string_view text)
{
    // Fields: id, parent id, major:minor, root, mount point, options, any number
    // of optional fields, "-", type, source, super options.
    constexpr std::size_t fixedFields = 6;
    std::vector<MountLine> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        const auto fields = fieldsOf(text.substr(pos, end - pos));
        pos = end + 1;

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
