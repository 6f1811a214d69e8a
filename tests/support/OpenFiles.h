#pragma once
// How many of this process's file descriptors refer to a file (read from /proc/self/fd).

#include <string>

int CountOpenDescriptors(const std::string& path);
