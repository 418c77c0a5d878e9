#include "extract/ExtractionState.h"

#include "app/MilvaneDoc.h"
#include "common/Ports.h"

bool CheckUnsavedExtraction(CMilvaneDoc* doc, const std::function<bool()>& save) {
    if (!doc || IsReadOnly(doc) || !doc->Extraction || doc->ExtractSaved) return true;
    if (Ports::Prompt().AskYesNo("抽出した条件は保存されていません。保存しますか？", MsgIcon::Question, Answer::Yes) ==
        Answer::No)
        return true;
    if (!save()) return false;
    doc->ExtractSaved = 1;
    return true;
}

void ClearExtraction(CMilvaneDoc* doc) {
    if (!doc) return;
    doc->ExtractSaved = 0;
    doc->Extraction.reset();
    doc->ExtractActive = 0;
    doc->ExtractKeys.clear();
}
