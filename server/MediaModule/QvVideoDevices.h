#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The video devices of this machine (/dev/video0, /dev/video1, ...) that can do the
// given thing (V4L2_CAP_VIDEO_CAPTURE or V4L2_CAP_VIDEO_OUTPUT), in number order.
std::vector<std::string> QvVideoDevices(uint32_t capability);
bool QvVideoDeviceCan(const std::string& path, uint32_t capability);
