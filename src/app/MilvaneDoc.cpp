#include "app/MilvaneDoc.h"

#include <sys/stat.h>

#include <filesystem>
#include <system_error>

#include "db/MilvaneData.h"
#include "common/Archive.h"
#include "common/Folders.h"
#include "common/Ports.h"
#include "common/SjisText.h"
#include "customers/DefaultSort.h"

namespace fs = std::filesystem;

namespace {

bool PathExists(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

}  // namespace

CMilvaneDoc::CMilvaneDoc(std::string installDir)
    : m_installDir(std::move(installDir)), m_database(std::make_unique<CMilvaneData>()) {
    KokyakuList.SetSource(m_database.get());
}

CMilvaneDoc::~CMilvaneDoc() { ClearData(); }

std::string CMilvaneDoc::DataDirFile() const { return JoinPath(m_installDir, "Data/MyData/datadir.dat"); }
std::string CMilvaneDoc::EndInfoFile() const { return JoinPath(m_installDir, "Data/MyData/EndInfo.dat"); }

int CMilvaneDoc::OnNewDocument() {
    if (!ReadDataDir()) {
        ShowMessage(
            "データベースファイルの保存先にデータベースファイルが存在しないか、保存先が不明です。\n"
            "ファイルの存在するフォルダを指定してください。");
        SelectDataDir();  // a cancelled choice keeps DataDir; opening the database then reports it
    }
    PaletteDevice = 0;  // no palette-based displays here
    return 1;
}

int CMilvaneDoc::ReadDataDir() {
    DataDir.clear();
    if (!DataFolderOverride().empty()) {
        DataDir = DataFolderOverride();
        return FileExists(JoinPath(DataDir, "QSMLV.mlv"));
    }
    const std::string path = DataDirFile();
    if (!PathExists(path)) return 0;
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) {
        ShowMessage(kFileErrorMessage);
        return 0;
    }
    std::size_t eol = bytes.find_first_of("\r\n");
    if (eol != std::string::npos) bytes.resize(eol);
    DataDir = ResolveSjisPath(SjisToUtf8(bytes));
    if (DataDir.empty()) return 0;
    int cls = ClassifyPath(DataDir);
    if (cls == 2 || cls == 4) DataDir.pop_back();
    return FileExists(DataDir + "/" + kDatabaseFileName) ? 1 : 0;
}

int CMilvaneDoc::SelectDataDir() {
    for (;;) {
        std::optional<std::string> choice = Ports::Prompt().ChooseFolder("フォルダを選択してOKを押して下さい", DataDir);
        if (!choice) return 0;
        std::string folder = *choice;
        int cls = ClassifyPath(folder);
        if (cls == 3 || cls == 4) {
            ShowMessage("ルートディレクトリは指定できません。\nフォルダを選択しなおしてください");
            continue;
        }
        if (cls == 2) folder.pop_back();
        if (!SjisPathLeadsBack(folder)) {
            ShowMessage(kSjisNameClash);
            continue;
        }
        if (!FileExists(folder + "/" + kDatabaseFileName)) {
            ShowMessage("指定されたフォルダにはデータファイルが存在しません\nフォルダを指定しなおしてください");
            continue;
        }
        DataDir = folder;
        return WriteDataDir();
    }
}

int CMilvaneDoc::WriteDataDir() {
    if (!WriteWholeFileAtomic(DataDirFile(), Utf8ToSjis(DataDir))) {
        ShowMessage(kFileErrorMessage);
        return 0;
    }
    return 1;
}

int CMilvaneDoc::ReadEndInfo() {
    const std::string path = EndInfoFile();
    if (!PathExists(path)) return 0;
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) {
        ShowMessage(kFileErrorMessage);
        return 0;
    }
    try {
        CArchiveReader ar(std::move(bytes));
        int32_t tab = ar.ReadInt32();
        int32_t id = ar.ReadInt32();
        SelectedFormTab = tab;
        SelectedFormId = id;
    } catch (const ArchiveError&) {
        ShowMessage(kFileErrorMessage);
        return 0;
    }
    return 1;
}

int CMilvaneDoc::WriteEndInfo() {
    CArchiveWriter ar;
    ar.WriteInt32(SelectedFormTab);
    ar.WriteInt32(SelectedFormId);
    if (!WriteWholeFileAtomic(EndInfoFile(), ar.Bytes())) {
        ShowMessage(kFileErrorMessage);
        return 0;
    }
    return 1;
}

void CMilvaneDoc::ClearData() {
    RirekiList.clear();
    KokyakuList.clear();
    DMTitleList.clear();
    DMTargetList.clear();
    Extraction.reset();
    ExtractActive = 0;
    ExtractSaved = 0;
    ExtractKeys.clear();
    AnalysisKind = -1;
    AnalysisDMKey = 0;
    AnalysisKeys.clear();
    AnalysisHits.clear();
}

std::string CMilvaneDoc::PictureFolder() const {
    if (PastDataMode && !PictureDir.empty()) return PictureDir;
    return DataDir + "/Picture";
}

void CMilvaneDoc::StorePictures(CKokyaku& rec) {
    const std::string folder = PictureFolder();
    for (std::string* field : {&rec.Picture1, &rec.Picture2, &rec.Picture3, &rec.Picture4, &rec.Picture5})
        StorePictureFile(*field, folder);
}

int32_t CMilvaneDoc::AddKokyaku(std::unique_ptr<CKokyaku>& rec) {
    if (!rec) return -1;
    const CDateTime now = CDateTime::Now();
    rec->StartDate = now;
    rec->LastUpDate = now;
    rec->RirekiUpDate = now;
    StorePictures(*rec);
    int32_t key = m_database->AddNewKokyaku(*rec);
    if (key == -1) return -1;
    rec->ID = key;
    KokyakuList.InsertFront(std::move(rec));
    return key;
}

int CMilvaneDoc::ChangeKokyaku(int32_t key, std::unique_ptr<CKokyaku>& rec) {
    if (!rec) return -1;
    rec->LastUpDate = CDateTime::Now();
    StorePictures(*rec);
    int result = m_database->ModifyKokyaku(key, *rec);
    if (result != 1) return result;
    rec->ID = key;
    KokyakuList.Replace(rec);
    return result;
}

bool CMilvaneDoc::ReadListedCustomers(const std::vector<uint32_t>& keys, CKokyakuList& records) {
    std::vector<uint32_t> listed;
    listed.reserve(keys.size());
    for (uint32_t key : keys)
        if (KokyakuList.Find(static_cast<int32_t>(key))) listed.push_back(key);
    if (m_database->GetKokyakuByKeys(listed, records) == 1) return true;
    ShowMessage("顧客データの取得に失敗しました。\n");
    return false;
}

int CMilvaneDoc::ReadCustomers() {
    const std::string order = CDefaultSort(DataDir).GetOrderText();
    return m_database->GetKokyakuRows(KokyakuList, order);
}

int CMilvaneDoc::DeleteKokyaku(const std::vector<uint32_t>& keys, std::vector<uint32_t>& deleted) {
    return m_database->DeleteKokyaku(keys, deleted);
}

bool IsReadOnly(const CMilvaneDoc* doc) { return doc && doc->PastDataMode; }

const std::vector<std::string>& GetDataSetFiles() {
    static const std::vector<std::string> files = {
        "QSMLV.mlv",      "MLVColSet.sys", "MLVDispCol.sys", "RirekiType.dat", "RirekiWord.dat",
        "DMType.dat",     "KImportant.dat", "KRank1.dat",    "KRank2.dat",     "KPayMeth.dat",
        "KCompType.dat",  "Tantou.dat",    "MLVExtract.sys", "DefKokyaku.dat", "DefOrder.dat"};
    return files;
}

bool StorePictureFile(std::string& field, const std::string& pictureFolder) {
    if (field.empty() || field.find('/') == std::string::npos) return false;
    if (!FileExists(field)) return false;

    const fs::path source(field);
    // The copy's name survives the Shift-JIS backups, and no other picture
    // there is written as the same bytes.
    const std::string base = SjisSafeName(source.stem().string());
    const std::string ext = SjisSafeName(source.extension().string());
    std::string name = base + ext;
    for (int n = 1; SjisNameTaken(pictureFolder, name); ++n) name = base + "_" + std::to_string(n) + ext;

    std::error_code ec;
    if (!FolderExists(pictureFolder)) {
        fs::create_directories(pictureFolder, ec);
        if (ec) return false;
    }
    fs::copy_file(source, JoinPath(pictureFolder, name), fs::copy_options::none, ec);
    if (ec) return false;
    field = name;
    return true;
}
