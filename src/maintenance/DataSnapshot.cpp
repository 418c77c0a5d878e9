#include "maintenance/DataSnapshot.h"

#include "app/MilvaneDoc.h"
#include "common/Folders.h"

using mfs::FileError;

CDataSnapshot::CDataSnapshot(std::string dataDir) : m_dataDir(std::move(dataDir)) {}

std::string CDataSnapshot::ChooseName(const std::string& dataDir) {
    std::string name = "BupTmp";
    for (int n = 1; FolderExists(JoinPath(dataDir, name)) || FileExists(JoinPath(dataDir, name)); ++n)
        name = "BupTmp" + std::to_string(n);
    return name;
}

std::string CDataSnapshot::Folder() const { return JoinPath(m_dataDir, m_name); }

bool CDataSnapshot::Take(const std::string& name, mfs::CCopyBuffer& buffer, FileError& err) {
    m_name = name;
    m_files.clear();
    m_pictures.clear();
    const std::string folder = Folder();
    if (!mfs::MakeFolder(folder, err)) return false;
    const std::string pictures = JoinPath(folder, "Picture");
    bool ok = mfs::MakeFolder(pictures, err);
    for (const std::string& f : GetDataSetFiles()) {
        if (!ok) break;
        const std::string source = JoinPath(m_dataDir, f);
        if (!FileExists(source)) continue;
        ok = mfs::CopyFileSynced(source, JoinPath(folder, f), buffer, err);
        if (ok) m_files.push_back(f);
    }
    const std::string dataPictures = JoinPath(m_dataDir, "Picture");
    if (ok) {
        for (const std::string& p : mfs::ListFiles(dataPictures)) {
            ok = mfs::CopyFileSynced(JoinPath(dataPictures, p), JoinPath(pictures, p), buffer, err);
            if (!ok) break;
            m_pictures.push_back(p);
        }
    }
    ok = ok && mfs::SyncFolder(pictures, err) && mfs::SyncFolder(folder, err) && mfs::SyncFolder(m_dataDir, err);
    if (!ok) {
        FileError ignored;
        mfs::RemoveTree(folder, ignored);
        m_files.clear();
        m_pictures.clear();
        return false;
    }
    m_taken = true;
    return true;
}

bool CDataSnapshot::Discard(FileError& err) {
    if (m_name.empty()) return true;
    bool ok = mfs::RemoveTree(Folder(), err);
    if (ok) {
        m_taken = false;
        m_files.clear();
        m_pictures.clear();
    }
    return ok;
}
