// The in-memory settings.
#include "base/settings.h"

#include <mutex>

Settings gSettings;

namespace {

std::mutex gImageFolderLock;

}  // namespace

std::string ImageFolder() {
    std::lock_guard<std::mutex> hold(gImageFolderLock);
    return gSettings.imageFolder;
}

void SetImageFolder(const std::string& folder) {
    std::lock_guard<std::mutex> hold(gImageFolderLock);
    gSettings.imageFolder = folder;
}

Settings SettingsCopy() {
    std::lock_guard<std::mutex> hold(gImageFolderLock);
    return gSettings;
}
