// The pre-extraction of the customer list: one customer condition kept bare
// (no tag) in "DefKokyaku.dat" of the data folder.
#pragma once

#include <memory>
#include <string>

class CExCondition;

inline constexpr const char* kPreExtractionFileName = "DefKokyaku.dat";

// dataDir: the data folder (no trailing "/").
std::string PreExtractionPath(const std::string& dataDir);

// Stores the condition. A condition that does not list customers is refused
// with "指定された条件が不正です"; a failed write shows "条件を保存できませんでした".
// 1 or 0.
int SaveCondition(const std::string& dataDir, const CExCondition& condition);
// The stored condition; null when there is none, or after "ファイルを開けません。
// 条件を取得できません。" when it cannot be opened, or after the file-error
// message when it is damaged.
std::unique_ptr<CExCondition> LoadCondition(const std::string& dataDir);
// Deletes the file; 1 also when there was none, 0 when it cannot be deleted.
int DeleteCondition(const std::string& dataDir);
bool Exists(const std::string& dataDir);

// The menu command "顧客一覧の事前抽出設定を解除": tells when nothing is set,
// otherwise asks and deletes, telling the outcome. 1 when the file was removed.
int RemovePreExtraction(const std::string& dataDir);
// The explanation shown before the pre-extraction is set.
inline constexpr const char* kPreExtractionIntro =
    "この機能は、顧客画面を表示する際、あらかじめ設定した条件にしたがって抽出した顧客データだけを一覧表示するものです。\n"
    "顧客データが増えて一覧表示に時間がかかる場合などにご利用ください。\n\n"
    "次に表示される画面で条件を指定し、通常表示する条件として設定してください。";
