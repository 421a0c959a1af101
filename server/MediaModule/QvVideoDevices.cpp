#include "MediaModule/QvVideoDevices.h"

#include <fcntl.h>
#include <linux/videodev2.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

bool QvVideoDeviceCan(const std::string& path, uint32_t capability) {
    int descriptor = ::open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) return false;
    v4l2_capability capabilities{};
    bool can = ioctl(descriptor, VIDIOC_QUERYCAP, &capabilities) == 0 &&
               ((capabilities.capabilities & V4L2_CAP_DEVICE_CAPS ? capabilities.device_caps
                                                                   : capabilities.capabilities) &
                capability) != 0;
    ::close(descriptor);
    return can;
}

std::vector<std::string> QvVideoDevices(uint32_t capability) {
    std::vector<std::pair<long, std::string>> found;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/dev", error)) {
        std::string name = entry.path().filename().string();
        if (name.rfind("video", 0) != 0 || name.size() == 5 ||
            name.find_first_not_of("0123456789", 5) != std::string::npos)
            continue;
        if (QvVideoDeviceCan(entry.path().string(), capability))
            found.emplace_back(std::strtol(name.c_str() + 5, nullptr, 10), entry.path().string());
    }
    std::sort(found.begin(), found.end());
    std::vector<std::string> paths;
    for (auto& device : found) paths.push_back(device.second);
    return paths;
}
