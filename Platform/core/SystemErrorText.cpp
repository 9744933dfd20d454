#include "Platform/core/SystemErrorText.h"

#include "Platform/core/Localization.h"

#include <cerrno>
#include <cstring>

namespace Platform {

std::string systemErrorText(int error) {
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return localized("The disk is full.");
    case EFBIG:
        return localized("The file would be larger than the system allows.");
    case EACCES:
    case EPERM:
        return localized("You do not have permission to use this file or folder.");
    case EROFS:
        return localized("The disk can only be read, not written.");
    case ENOENT:
        return localized("The file or folder does not exist.");
    case ENOTDIR:
        return localized("A part of the path is not a folder.");
    case EISDIR:
        return localized("It is a folder, not a file.");
    case ENAMETOOLONG:
        return localized("The name is too long.");
    case ELOOP:
        return localized("The path has too many symbolic links.");
    case EIO:
        return localized("The disk could not be read or written.");
    default:
        return std::string(std::strerror(error)) + ".";
    }
}

} // namespace Platform
