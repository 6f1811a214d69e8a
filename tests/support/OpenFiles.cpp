#include "support/OpenFiles.h"

#include <filesystem>

int CountOpenDescriptors(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path wanted = fs::weakly_canonical(path, error);
    int count = 0;
    for (const auto& link : fs::directory_iterator("/proc/self/fd", error)) {
        std::error_code linkError;
        const fs::path target = fs::read_symlink(link.path(), linkError);
        if (!linkError && (target == wanted || target == fs::path(path))) {
            ++count;
        }
    }
    return count;
}
