#include "common/status.h"

#include <cerrno>

StatusKind StatusKindOfErrno(int error) {
    switch (error) {
        case ENOSPC:
#ifdef EDQUOT  // the Windows C runtime has no disk quotas
        case EDQUOT:
#endif
            return StatusKind::Full;
        case EACCES:
        case EPERM:
        case EROFS:
            return StatusKind::Refused;
        case EEXIST:
            return StatusKind::Exists;
        case ENOENT:
        case ENOTDIR:
            return StatusKind::NotFound;
        case EBUSY:
        case ETXTBSY:
            return StatusKind::Busy;
        default:
            return StatusKind::Io;
    }
}
