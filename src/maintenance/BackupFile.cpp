#include "maintenance/BackupFile.h"

#include "common/SjisText.h"

BackupTitle ReadBackupTitle(mfs::CFile& in, const std::string& sjisTitle, mfs::FileError& err) {
    std::string head(sjisTitle.size(), '\0');
    if (!in.ReadFull(head.data(), head.size(), err)) return BackupTitle::Short;
    return head == sjisTitle ? BackupTitle::Ok : BackupTitle::Other;
}

bool ReadBackupHeader(mfs::CFile& in, uint32_t maxCount, uint32_t& count, mfs::FileError& err) {
    uint32_t version = 0, total = 0;
    return in.ReadU32(version, err) && in.ReadU32(total, err) && version == 1 && int64_t(total) == in.Size() &&
           in.ReadU32(count, err) && count <= maxCount;
}

bool ReadBackupName(mfs::CFile& in, std::string& name, mfs::FileError& err) {
    uint32_t n = 0;
    if (!in.ReadU32(n, err) || n == 0 || n > 1024) return false;
    std::string bytes(n, '\0');
    if (!in.ReadFull(bytes.data(), n, err)) return false;
    name = SjisToUtf8(bytes);
    return true;
}
