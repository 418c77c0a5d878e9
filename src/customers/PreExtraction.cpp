#include "customers/PreExtraction.h"

#include <cstdio>

#include "common/Archive.h"
#include "common/Folders.h"
#include "common/Ports.h"
#include "extract/ExCondition.h"

std::string PreExtractionPath(const std::string& dataDir) {
    return dataDir.empty() ? std::string() : JoinPath(dataDir, kPreExtractionFileName);
}

int SaveCondition(const std::string& dataDir, const CExCondition& condition) {
    if (condition.ResultKind != 0) {
        ShowMessage("指定された条件が不正です");
        return 0;
    }
    const std::string path = PreExtractionPath(dataDir);
    if (path.empty() ||
        TryWriteArchiveFile(path, [&](CArchiveWriter& ar) { condition.WriteMembers(ar); }) != FileResult::Ok) {
        ShowMessage("条件を保存できませんでした");
        return 0;
    }
    return 1;
}

std::unique_ptr<CExCondition> LoadCondition(const std::string& dataDir) {
    const std::string path = PreExtractionPath(dataDir);
    if (path.empty() || !FileExists(path)) return nullptr;
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) {
        ShowMessage("ファイルを開けません。条件を取得できません。");
        return nullptr;
    }
    auto condition = std::make_unique<CExCondition>();
    try {
        CArchiveReader ar(std::move(bytes));
        condition->ReadMembers(ar);
    } catch (const ArchiveError&) {
        ShowMessage(kFileErrorMessage);
        return nullptr;
    }
    return condition;
}

int DeleteCondition(const std::string& dataDir) {
    const std::string path = PreExtractionPath(dataDir);
    if (path.empty() || !FileExists(path)) return 1;
    return std::remove(path.c_str()) == 0 ? 1 : 0;
}

bool Exists(const std::string& dataDir) {
    const std::string path = PreExtractionPath(dataDir);
    return !path.empty() && FileExists(path);
}

int RemovePreExtraction(const std::string& dataDir) {
    if (!Exists(dataDir)) {
        ShowMessage("現在、表示データは設定されていません。", MsgIcon::Information);
        return 0;
    }
    if (Ports::Prompt().AskYesNo("現在設定されている、顧客一覧の表示データ設定を解除します。\n"
                                 "解除すると、通常、顧客一覧画面ですべての顧客が表示されます。\n"
                                 "解除してよろしいですか？",
                                 MsgIcon::Question, Answer::Yes) != Answer::Yes)
        return 0;
    if (!DeleteCondition(dataDir)) {
        ShowMessage("解除できませんでした");
        return 0;
    }
    ShowMessage("解除しました", MsgIcon::Information);
    return 1;
}
