// The single document: the data folder in use, the customer database object,
// the record lists the screens show, the past-data (read-only) state, and the
// two small files of the installation, "datadir.dat" and "EndInfo.dat".
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "customers/KokyakuRow.h"
#include "history/RirekiData.h"

class CMilvaneData;
struct CDMListData;
struct CDMMngData;
struct CMLVSorunaHit;
class CExCondition;

class CMilvaneDoc {
public:
    // installDir: the install folder (no trailing "/").
    explicit CMilvaneDoc(std::string installDir);
    ~CMilvaneDoc();
    CMilvaneDoc(const CMilvaneDoc&) = delete;
    CMilvaneDoc& operator=(const CMilvaneDoc&) = delete;

    // Start-up: ReadDataDir; when it fails, tells so and lets the user choose
    // the folder (a cancelled choice keeps DataDir as read). Non-zero.
    int OnNewDocument();
    // Reads "Data/MyData/datadir.dat" (or takes DataFolderOverride()) into
    // DataDir; non-zero when DataDir + "/QSMLV.mlv" exists. A missing or empty file fails silently, a read
    // error shows the file-error message.
    int ReadDataDir();
    // Folder chooser until a folder holding "QSMLV.mlv" is chosen (roots are
    // refused); then WriteDataDir. Zero when cancelled.
    int SelectDataDir();
    // Writes DataDir (Shift-JIS, no line end) to datadir.dat. Non-zero on success.
    int WriteDataDir();
    // "EndInfo.dat": SelectedFormTab and SelectedFormId, 32-bit little-endian.
    // Read: non-zero when the file existed and was read.
    int ReadEndInfo();
    int WriteEndInfo();
    // Deletes every record of every list, the extraction and the analysis result.
    void ClearData();

    // Read-only while past data is browsed.
    bool IsPastData() const { return PastDataMode != 0; }

    // Record wrappers of the customer screens.
    // Add: stamps StartDate, LastUpDate and RirekiUpDate with now, stores the
    // pictures, adds to the database; on success the record gets its key and
    // goes to the head of the customer list (rec becomes empty) and the key is
    // returned; -1 on failure (rec stays with the caller).
    int32_t AddKokyaku(std::unique_ptr<CKokyaku>& rec);
    // Change: stamps LastUpDate, stores the pictures, changes the database
    // record; on 1 the list entry with that key is replaced by rec (rec becomes
    // empty; when no entry has the key, rec stays with the caller). Returns the
    // database result (1 / 0 / -1).
    int ChangeKokyaku(int32_t key, std::unique_ptr<CKokyaku>& rec);
    // Delete: the database result (1 / 10 / 0 / -1) unchanged; deleted keys out.
    int DeleteKokyaku(const std::vector<uint32_t>& keys, std::vector<uint32_t>& deleted);
    // Reads the customer list anew in the data folder's default order, with
    // the fields it keeps. The database result: 1 read, 0 failed (list empty).
    int ReadCustomers();
    // The whole records of those keys the customer list holds, in the keys'
    // order, read from the database. False, after a message, when reading fails.
    bool ReadListedCustomers(const std::vector<uint32_t>& keys, std::vector<std::unique_ptr<CKokyaku>>& records);

    // Picture storing for the five picture fields of a customer (before every
    // add or change): each full path becomes the name of its copy in the
    // picture folder (see StorePictureFile).
    void StorePictures(CKokyaku& rec);
    // The picture folder: PictureDir while past data is browsed, else DataDir + "/Picture".
    std::string PictureFolder() const;

    CMilvaneData& Database() { return *m_database; }
    const std::string& InstallDir() const { return m_installDir; }
    std::string DataDirFile() const;  // <install>/Data/MyData/datadir.dat
    std::string EndInfoFile() const;  // <install>/Data/MyData/EndInfo.dat

    // ---- state (names as the screens use them)
    std::string DataDir;              // current data folder; unchanged while past data is browsed
    uint8_t PastDataMode = 0;         // past data is browsed: everything read-only
    std::string PictureDir;           // picture folder of the past data, or ""
    int32_t CustomerScreenMode = 1;   // customer screen 1..3 shown last
    int32_t PaletteDevice = 0;        // always 0: no palette displays here
    int32_t SelectedFormTab = 0;      // menu screen form gallery
    int32_t SelectedFormId = 0;

    // ---- records, all owned by the document
    CRirekiKeyList RirekiList;                               // history screen: keys and dates in row order
    CKokyakuRows KokyakuList;                                // customer screens, newest at the head
    std::vector<uint32_t> ExtractKeys;                       // keys of the current extraction
    std::shared_ptr<CExCondition> Extraction;                // current extraction condition, or none
    uint8_t ExtractActive = 0;                               // a (pre-)extraction is in force
    uint8_t ExtractSaved = 0;                                // the current extraction is a saved condition
    int32_t AnalysisKind = -1;                               // -1 none, 1..7
    int32_t AnalysisDMKey = 0;
    std::vector<uint32_t> AnalysisKeys;
    std::vector<std::unique_ptr<CMLVSorunaHit>> AnalysisHits;
    std::vector<std::unique_ptr<CDMListData>> DMTitleList;
    std::vector<std::unique_ptr<CDMMngData>> DMTargetList;
    int32_t PreselectDMKey = 0;                              // DM to select when the DM screen opens

private:
    std::string m_installDir;
    std::unique_ptr<CMilvaneData> m_database;
};

// True when a document exists and past data is browsed: every changing
// command tests this first and shows its own read-only message.
bool IsReadOnly(const CMilvaneDoc* doc);

// The files that make up one data set, in backup order: "QSMLV.mlv" and the
// 14 settings files.
const std::vector<std::string>& GetDataSetFiles();

// Brings one picture field into the picture folder. An empty name or a name
// without "/" (already stored) is left alone, as is a path whose file does not
// exist. Otherwise the file is copied, never overwriting, to
// <pictureFolder>/<base><ext>, or <base>_1<ext>, <base>_2<ext>, ... when taken
// (the folder is created when missing); on success field becomes the new file
// name, on failure it stays. Returns true when the field was changed.
bool StorePictureFile(std::string& field, const std::string& pictureFolder);
