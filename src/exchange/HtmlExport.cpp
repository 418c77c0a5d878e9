#include "exchange/HtmlExport.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "common/Folders.h"
#include "common/Ports.h"
#include "customers/Kokyaku.h"
#include "exchange/XmlConv.h"

namespace {

template <typename... Args>
std::string Printf(const char* fmt, Args... args) {
    std::string out(static_cast<std::size_t>(std::snprintf(nullptr, 0, fmt, args...)), '\0');
    std::snprintf(out.data(), out.size() + 1, fmt, args...);
    return out;
}

// The folder of the folder dialog, checked; nullopt when the command ends.
std::optional<std::string> ChooseOutputFolder(const CHtmlExportDialogs& dialogs) {
    for (;;) {
        std::optional<std::string> folder = dialogs.chooseFolder();
        if (!folder) return std::nullopt;
        const int cls = ClassifyPath(*folder);
        if (cls == 3 || cls == 4) {
            ShowMessage("ルートディレクトリを指定することはできません。別のフォルダを指定してください。",
                        MsgIcon::Exclamation);
            continue;
        }
        if (cls == 2) folder->pop_back();
        if (FindFileInFolder(*folder, "")) {
            ShowMessage(Printf("指定されたフォルダ\n%s\nにはファイルが存在しています。\n空のフォルダを指定してください。\n",
                               folder->c_str()));
            continue;
        }
        switch (EnsureFolder(*folder, true, true)) {
            case 1:
            case 2: return folder;
            case 0: ShowMessage("フォルダが存在しませんでした。"); return std::nullopt;
            default: return std::nullopt;  // declined, or refused with its message
        }
    }
}

}  // namespace

void HtmlExport(const std::vector<const CKokyaku*>& selected, const std::string& pictureFolder,
                const std::vector<CMLVCol>& columns, const CHtmlExportDialogs& dialogs) {
    if (selected.empty()) {
        ShowMessage("HTML書き出しする顧客を選択してください。");
        return;
    }
    const int count = static_cast<int>(selected.size());
    if (count >= kHtmlExportLimit) {
        ShowMessage(Printf("%d人をHTML書き出ししようとしています。\n一度に書き出すことができるのは%d人までです。\n"
                           "操作をし直してください。",
                           count, kHtmlExportLimit));
        return;
    }
    if (Ports::Prompt().AskYesNo(Printf("選択されている%d件の顧客をHTML書き出しします。よろしいですか？", count),
                                 MsgIcon::Question, Answer::Yes) != Answer::Yes)
        return;
    const std::optional<int> form = dialogs.chooseForm();
    if (!form) return;

    std::vector<CRirekiList> histories;
    if (*form == 1) {
        histories.resize(selected.size());
        for (std::size_t i = 0; i < selected.size(); ++i) dialogs.readHistory(selected[i]->ID, histories[i]);
    }

    const std::optional<std::string> folder = ChooseOutputFolder(dialogs);
    if (!folder) return;

    int result;
    {
        WaitScope wait;
        result = CXmlConv(columns).WriteHtml(*form, *folder, pictureFolder, selected, histories);
    }
    if (result != 1) {
        ShowMessage("HTML書き出しに失敗しました。");
        return;
    }
    std::error_code ec;
    std::filesystem::path full = std::filesystem::absolute(*folder, ec).lexically_normal();
    std::string shown = ec ? *folder : full.string();
    if (shown.size() > 1 && shown.back() == '/') shown.pop_back();
    ShowMessage(Printf("HTML書き出しを完了しました。\nindex.htmを開くとHTMLを表示できます。\n\n書き出したフォルダ：\n%s\n",
                       shown.c_str()),
                MsgIcon::Information);
}
