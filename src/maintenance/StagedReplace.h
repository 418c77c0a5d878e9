// Crash-safe replacement of files in a data folder.
//
// New files are written into the staging folder "MLVStage" inside the data
// folder (pictures into its "Picture" sub-folder) and fsynced; the data folder
// itself is untouched until the commit, so giving up is deleting the staging
// folder. The commit writes the marker "Commit.dat" (by rename, so it is
// whole or absent) holding the names to delete; from then the new files win.
// Finishing deletes those names, renames every staged file over its place,
// fsyncs the folders and removes the marker, the staging folder and the
// snapshot folder noted at the start.
//
// RecoverDataFolder runs before any data folder is opened: a staging folder
// with its marker is finished, one without is deleted. Both are idempotent,
// so a crash during the recovery is recovered the next time.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "maintenance/SafeFile.h"

inline constexpr const char* kStagingFolderName = "MLVStage";
inline constexpr const char* kCommitMarkerName = "Commit.dat";
inline constexpr const char* kSnapshotNoteName = "Snapshot.dat";

class CStagedReplace {
public:
    explicit CStagedReplace(std::string dataDir);
    ~CStagedReplace();  // an uncommitted stage is abandoned
    CStagedReplace(const CStagedReplace&) = delete;
    CStagedReplace& operator=(const CStagedReplace&) = delete;

    // Creates the staging folder and its "Picture" sub-folder (a stale one
    // is recovered first) and notes the snapshot folder name (a bare name in
    // the data folder, or "" for none), which the finish removes.
    bool Begin(const std::string& snapshotName, mfs::FileError& err);
    // Where a new data-folder file or picture is to be written.
    std::string StagedFile(const std::string& name) const;
    std::string StagedPicture(const std::string& name) const;
    // Makes everything staged durable, writes the marker with the names to
    // delete from the data folder, and finishes. False when the marker could
    // not be written (the stage is then abandoned; the data folder is as it
    // was) or the finish failed (committed: RecoverDataFolder completes it).
    bool Commit(const std::vector<std::string>& namesToDelete, mfs::FileError& err);
    bool Committed() const { return m_committed; }
    // Deletes the staging folder with what it holds. The data folder is untouched.
    bool Abandon(mfs::FileError& err);

    const std::string& StagingFolder() const { return m_staging; }

private:
    std::string m_dataDir;
    std::string m_staging;
    bool m_begun = false;
    bool m_committed = false;
};

// 0 nothing to recover; 1 a committed replacement was finished; 2 an
// uncommitted one was deleted; -1 failed (err says where).
int RecoverDataFolder(const std::string& dataDir, mfs::FileError& err);

// Before a reading open of a data folder: a committed replacement that was not
// finished (its new database beside old settings and pictures) must not be
// read. It is finished when takeLock() gets the data to this process, else
// the reading is refused with a message. True when the folder may be read.
bool FinishCommittedBeforeReading(const std::string& dataDir, const std::function<bool()>& takeLock);

// The names a restore deletes beside the data-set files it does not bring:
// the database's journal, and the log files of older versions.
const std::vector<std::string>& DatabaseSideFiles();
