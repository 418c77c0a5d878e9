#include "customers/ComboData.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "common/Archive.h"
#include "common/Folders.h"
#include "common/Ports.h"
#include "common/SjisText.h"
#include "customers/MLVColSet.h"

namespace {

constexpr const char* kElemClass = "CMLVComboElem";
constexpr uint16_t kSchema = 1;

struct ListInfo {
    const char* file;
    const char* editorName;  // lists 4 and 5 take the ranking labels
    int limit;
};

constexpr ListInfo kLists[kChoiceListCount] = {
    {"RirekiType.dat", "履歴の概要", 100},
    {"RirekiWord.dat", "履歴の検索キーワード", 255},
    {"DMType.dat", "DM送付予定の内容", 50},
    {"KImportant.dat", "顧客情報の重要度ランク", 50},
    {"KRank1.dat", "", 50},
    {"KRank2.dat", "", 50},
    {"KPayMeth.dat", "顧客情報の支払方法", 50},
    {"KCompType.dat", "顧客情報の会社業種", 50},
    {"Tantou.dat", "自社担当者", 30},
};

bool ValidList(int no) { return no >= 0 && no < kChoiceListCount; }

std::string Format1(const char* pattern, const std::string& arg) {
    std::string out(pattern);
    auto pos = out.find("%s");
    if (pos != std::string::npos) out.replace(pos, 2, arg);
    return out;
}

std::string RankingLabel(const CMLVColSet* set, int listNo) {
    if (!set) return std::string();
    return set->GetLabel(listNo == kListRank1 ? "Ranking1" : "Ranking2");
}

}  // namespace

const char* ChoiceListFileName(int listNo) { return ValidList(listNo) ? kLists[listNo].file : ""; }

int ChoiceListLimit(int listNo) { return ValidList(listNo) ? kLists[listNo].limit : 30; }

std::string ChoiceListEditorName(int listNo, const CMLVColSet* set) {
    if (!ValidList(listNo)) return std::string();
    if (listNo == kListRank1 || listNo == kListRank2) {
        std::string label = RankingLabel(set, listNo);
        if (label.empty()) label = listNo == kListRank1 ? "ランク１" : "ランク２";
        return Format1("顧客情報の%s", label);
    }
    return kLists[listNo].editorName;
}

std::vector<std::string> ChoiceChooserLabels(const CMLVColSet* set) {
    std::vector<std::string> labels = {"履歴：概要",         "履歴：検索キーワード", "DM送付予定：内容",
                                       "顧客：重要度ランク", "顧客：ランキング１",   "顧客：ランキング２",
                                       "顧客：支払方法",     "顧客：会社業種"};
    if (set) {
        labels[kListRank1] = Format1("顧客：%s", RankingLabel(set, kListRank1));
        labels[kListRank2] = Format1("顧客：%s", RankingLabel(set, kListRank2));
    }
    return labels;
}

// ---------------------------------------------------------------- CMLVComboElem

void CMLVComboElem::WriteMembers(CArchiveWriter& ar) const {
    ar.WriteString(text);
    ar.WriteInt32(userEntry);
}

void CMLVComboElem::ReadMembers(CArchiveReader& ar) {
    text = ar.ReadString();
    userEntry = ar.ReadInt32();
}

// ---------------------------------------------------------------- CMLVComboData

CMLVComboData::CMLVComboData(std::string installDir) : m_installDir(std::move(installDir)) {}

void CMLVComboData::SetDefaults() {
    entries.clear();
    auto add = [this](std::initializer_list<const char*> texts, int32_t user) {
        for (const char* t : texts) entries.emplace_back(t, user);
    };
    switch (m_listNo) {
        case kListRirekiType:
            add({"DM", "DMメール送信", "問い合わせ", "購入", "クレーム", "メール送信", "フォーム印刷"}, 0);
            break;
        case kListRirekiWord:
            add({"商品１", "商品２", "商品３"}, 1);
            break;
        case kListDMType:
            add({"DM", "年賀", "お中元", "お歳暮", "暑中見舞い", "寒中見舞い"}, 0);
            break;
        case kListImportant:
            add({"VIP"}, 0);
            add({"特A", "A", "B", "C"}, 1);
            add({"ブラックリスト"}, 0);
            break;
        case kListPayMeth:
            add({"現金", "小切手", "振込み", "手形"}, 0);
            break;
        case kListCompType:
            add({"製造業", "流通業"}, 1);
            break;
        default:
            break;
    }
}

void CMLVComboData::WriteTo(CArchiveWriter& ar) const {
    ar.WriteCount(entries.size());
    for (const CMLVComboElem& e : entries) {
        ar.WriteObjectTag(kElemClass, kSchema);
        e.WriteMembers(ar);
    }
}

void CMLVComboData::ReadFrom(CArchiveReader& ar) {
    std::vector<CMLVComboElem> read;
    std::size_t n = ar.ReadCount();
    for (std::size_t i = 0; i < n; ++i) {
        if (!ar.ReadObjectTag(kElemClass, kSchema)) throw ArchiveError("missing choice entry");
        CMLVComboElem e;
        e.ReadMembers(ar);
        read.push_back(std::move(e));
    }
    entries = std::move(read);
}

int CMLVComboData::Load(int listNo) {
    entries.clear();
    m_listNo = listNo;
    m_loaded = false;
    m_path.clear();
    if (!ValidList(listNo)) return 0;
    std::string dir = GetDataFolder(m_installDir);
    if (dir.empty()) return 0;
    m_path = JoinPath(dir, kLists[listNo].file);

    if (!FileExists(m_path)) {
        SetDefaults();
        if (SettingsRepairAllowed()) Save();
        m_loaded = true;
        return 1;
    }
    std::string bytes;
    bool readable = ReadWholeFile(m_path, bytes);
    if (readable) {
        try {
            CArchiveReader ar(std::move(bytes));
            ReadFrom(ar);
            m_loaded = true;
            return 1;
        } catch (const ArchiveError&) {
            entries.clear();
            ShowMessage(kFileErrorMessage);
        }
    }
    if (!MaySettingsBeRepaired(m_path) ||
        Ports::Prompt().AskYesNo(Format1("設定ファイル<%s>が壊れています。初期状態にしてよろしいですか？", m_path),
                                 MsgIcon::Information, Answer::Yes) != Answer::Yes)
        return 0;
    SetDefaults();
    Save();
    m_loaded = true;
    return 1;
}

int CMLVComboData::Save() {
    if (m_path.empty()) return 0;
    return TryWriteArchiveFile(m_path, [this](CArchiveWriter& ar) { WriteTo(ar); }) == FileResult::Ok ? 1 : 0;
}

int CMLVComboData::AddEntry(const std::string& text) {
    if (!m_loaded) return 0;
    entries.emplace_back(text, 1);
    return Save();
}

bool CMLVComboData::Contains(std::string_view text) const {
    return std::any_of(entries.begin(), entries.end(), [&](const CMLVComboElem& e) { return e.text == text; });
}

bool CMLVComboData::AutoRegister(const std::string& text) {
    if (text.empty() || !m_loaded || Contains(text)) return false;
    AddEntry(text);  // a failed save is silent: the entry stays for this run of the dialog
    return true;
}

// ---------------------------------------------------------------- CChoiceListEditor

CChoiceListEditor::CChoiceListEditor(std::string installDir, int listNo)
    : m_data(std::move(installDir)), m_requestedList(listNo) {}

int CChoiceListEditor::Open() {
    if (!m_data.Load(m_requestedList)) return 0;
    if (m_requestedList == kListRank1 || m_requestedList == kListRank2) {
        CMLVColSet set(m_data.InstallDir());
        m_name = ChoiceListEditorName(m_requestedList, set.Load() ? &set : nullptr);
    } else {
        m_name = ChoiceListEditorName(m_requestedList, nullptr);
    }
    return 1;
}

int CChoiceListEditor::Limit() const { return ChoiceListLimit(m_requestedList); }

std::string CChoiceListEditor::Title() const { return Format1("%s の設定", m_name); }

std::string CChoiceListEditor::Explanation() const {
    return Format1("%sを編集します。設定が完了したら【OK】ボタンをクリックしてください。", m_name);
}

std::string CChoiceListEditor::Note() const {
    return Format1("※なお、各画面の%sを設定するコンボボックスで入力すると自動的に登録されます。", m_name);
}

std::string CChoiceListEditor::ListHeading() const { return Format1("現在登録されている%s", m_name); }

bool CChoiceListEditor::CanChange(int index) const {
    if (index < 0 || index >= static_cast<int>(m_data.entries.size())) {
        ShowMessage("変更する内容を選択してください");
        return false;
    }
    if (m_data.entries[index].userEntry == 0) {
        ShowMessage("この項目は編集できません");
        return false;
    }
    return true;
}

bool CChoiceListEditor::ValidateEntryText(const std::string& text) const {
    if (text.empty()) {
        ShowMessage("内容を入力してください");
        return false;
    }
    if (m_data.Contains(text)) {
        ShowMessage("入力された内容はすでに登録されています。\n重複する内容を登録することはできません。");
        return false;
    }
    return true;
}

int CChoiceListEditor::Add(const std::string& text) {
    m_data.entries.emplace_back(SjisTruncate(text, Limit()), 1);
    return static_cast<int>(m_data.entries.size()) - 1;
}

void CChoiceListEditor::Change(int index, const std::string& text) {
    if (index < 0 || index >= static_cast<int>(m_data.entries.size())) return;
    m_data.entries[index].text = SjisTruncate(text, Limit());
}

bool CChoiceListEditor::Delete(int index) {
    if (index < 0 || index >= static_cast<int>(m_data.entries.size())) {
        ShowMessage("削除する内容を選択してください");
        return false;
    }
    if (m_data.entries[index].userEntry == 0) {
        ShowMessage("この項目は削除できません");
        return false;
    }
    if (Ports::Prompt().AskYesNo(Format1("項目<%s>を削除します。\nよろしいですか？", m_data.entries[index].text),
                                 MsgIcon::Question, Answer::No) != Answer::Yes)
        return false;
    m_data.entries.erase(m_data.entries.begin() + index);
    return true;
}

int CChoiceListEditor::MoveUp(int index) {
    if (index < 0 || index >= static_cast<int>(m_data.entries.size())) {
        ShowMessage("移動する内容を選択してください");
        return -1;
    }
    if (index == 0) return index;
    std::swap(m_data.entries[index], m_data.entries[index - 1]);
    return index - 1;
}

int CChoiceListEditor::MoveDown(int index) {
    if (index < 0 || index >= static_cast<int>(m_data.entries.size())) {
        ShowMessage("移動する内容を選択してください");
        return -1;
    }
    if (index + 1 == static_cast<int>(m_data.entries.size())) return index;
    std::swap(m_data.entries[index], m_data.entries[index + 1]);
    return index + 1;
}

bool CChoiceListEditor::Ok() {
    if (m_data.Save()) return true;
    ShowMessage("設定を保存できませんでした");
    return false;
}
