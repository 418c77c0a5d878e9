// The snapshot of a data set taken before its files are replaced: a copy of
// the data-set files present and of the pictures in a new folder "BupTmp",
// "BupTmp1", "BupTmp2", ... of the data folder, every file fsynced. The data
// folder itself is not changed; the snapshot is what the person can copy back
// by hand when a replacement could not be finished.
#pragma once

#include <string>
#include <vector>

#include "maintenance/SafeFile.h"

class CDataSnapshot {
public:
    explicit CDataSnapshot(std::string dataDir);

    // The first of "BupTmp", "BupTmp1", ... that does not exist in the data folder.
    static std::string ChooseName(const std::string& dataDir);

    // Creates the folder name (which must be new) and its "Picture", copies
    // the data-set files present and every picture. A failure removes what
    // was made.
    bool Take(const std::string& name, mfs::CCopyBuffer& buffer, mfs::FileError& err);
    // Removes the snapshot folder with its contents. False when something stays.
    bool Discard(mfs::FileError& err);

    bool Taken() const { return m_taken; }
    std::string Folder() const;                         // full path
    const std::vector<std::string>& SavedFiles() const { return m_files; }
    const std::vector<std::string>& SavedPictures() const { return m_pictures; }

private:
    std::string m_dataDir;
    std::string m_name;
    bool m_taken = false;
    std::vector<std::string> m_files;
    std::vector<std::string> m_pictures;
};
